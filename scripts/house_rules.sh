#!/usr/bin/env bash
# The house rules a script can check, one rule a line (HACKING.md explains
# each): which room may include which, where the system libraries are
# spoken to, where a system may be told apart, and who owns a global.
set -euo pipefail
cd "$(dirname "$0")/.."
passed=0
failed=0

# rule WHAT PATTERN PATHSPEC...: fails, listing the lines, when PATTERN
# (an extended regex) matches a line of the files PATHSPEC names.
rule() {
    local what=$1 pattern=$2 hits
    shift 2
    if hits=$(git grep -n -E "$pattern" -- "$@"); then
        echo "FAIL: $what"
        echo "$hits" | sed 's/^/    /'
        failed=$((failed + 1))
    else
        passed=$((passed + 1))
    fi
}

# includes_outside WHAT ALLOWED PATHSPEC...: fails when a file of PATHSPEC
# includes one of ours (a quoted include) from outside ALLOWED, an extended
# regex of the paths it may include.
includes_outside() {
    local what=$1 allowed=$2
    shift 2
    local hits
    if hits=$(git grep -n -E '#include *"' -- "$@" | grep -v -E "#include *\"(${allowed})"); then
        echo "FAIL: $what"
        echo "$hits" | sed 's/^/    /'
        failed=$((failed + 1))
    else
        passed=$((passed + 1))
    fi
}

game=(app display game)
drivers=(hosts/sdl hosts/web hosts/win32 hosts/headless hosts/null)
public='winapi/(win|ddraw|gdi|default_palette|texts)\.h"'

includes_outside "the Windows room includes only itself" 'winapi/' winapi
includes_outside "the player's files and choices include only themselves and the Windows room" 'player/|winapi/' player
includes_outside "the sim includes the game, the Windows room and the player's files, never the hosts" \
    'sim/|app/|display/|game/|winapi/|player/' sim
includes_outside "the host core includes itself, the sim, the player's files and the Windows room, never a driver" \
    'hosts/core/|sim/|player/|winapi/' hosts/core
for driver in "${drivers[@]}"; do
    includes_outside "$driver includes itself, the core, the player's files and the Windows room; its *_main.cpp the sim too" \
        "${driver}/|hosts/core/|player/|winapi/|sim/(runner|script|trace|showing)\.h\"" "$driver"
done
rule "only a driver's *_main.cpp talks to the sim" '#include *"sim/' "${drivers[@]}" ':!hosts/*/*_main.cpp'
includes_outside "the game includes only itself and the Windows room's public headers" \
    "app/|display/|game/|${public}" "${game[@]}"
rule "no room of the program includes tools/" '#include *"tools/' "${game[@]}" winapi player sim hosts
rule "no #if on the system outside the drivers and OS-suffixed files" \
    '#\s*(if|ifdef|ifndef|elif)\b.*(_WIN32|__EMSCRIPTEN__|__linux__|__APPLE__)' \
    '*.cpp' '*.h' ':!hosts/sdl/' ':!hosts/web/' ':!hosts/win32/' ':!*_posix.cpp' ':!*_win32.cpp'
rule "the system's libraries are spoken to only by the drivers" \
    '#include *[<"](SDL|emscripten|ft2build|freetype|iconv)' "${game[@]}" winapi player sim hosts/core hosts/headless hosts/null
rule "<windows.h> is included by the Win32 driver and the *_win32.cpp files only" \
    '#include *[<"]windows\.h' "${game[@]}" winapi player sim hosts/core hosts/headless hosts/null ':!*_win32.cpp'
rule "the game's text needs no FreeType or iconv (baked into font/ by tools/fontbake)" \
    '#include *[<"](ft2build|freetype|iconv)' hosts
rule "extern belongs in the owner's header" '^\s*extern\b' \
    'app/*.cpp' 'display/*.cpp' 'game/*.cpp' 'winapi/*.cpp' 'player/*.cpp' 'sim/*.cpp' 'hosts/*.cpp'
# A unit suite links only the rooms it tests, and what they stand on: no
# library of a room above them (the Windows room's, the game's, the sim's
# and the player's suites stand on the headless driver straight on the
# seam, kawauo_headless_seam, not on the core).
above_winapi='kawauo_(game|player|sim|core|driver_[a-z0-9]+)\b'
rule "the Windows room's suites link the Windows room alone" "$above_winapi" 'tests/winapi/CMakeLists.txt'
rule "the game's suites link the game and the Windows room" 'kawauo_(player|sim|core|driver_[a-z0-9]+)\b' \
    'tests/app/CMakeLists.txt' 'tests/display/CMakeLists.txt' 'tests/game/CMakeLists.txt'
rule "the player's suites link the player's files and the Windows room" 'kawauo_(game|sim|core|driver_[a-z0-9]+)\b' \
    'tests/player/CMakeLists.txt'
rule "the sim's suites link the sim and the rooms beneath it" 'kawauo_(core|driver_[a-z0-9]+)\b' 'tests/sim/CMakeLists.txt'
rule "the core's suites link the core and the headless driver, no other" 'kawauo_driver_(sdl|win32|web|null)\b' \
    'tests/hosts/core/CMakeLists.txt'

# in_namespace ROOM NAMESPACE: the room's code is in the namespace named as
# the room, where a concern of it may nest its own (player::settings);
# anonymous namespaces and aliases are the file's own.
in_namespace() {
    local room=$1 name=$2 hits
    if hits=$(git grep -n -E '^namespace ' -- "$room/*.cpp" "$room/*.h" |
        grep -v -E ":namespace (\{|[A-Za-z_]+ = |${name}( |::))"); then
        echo "FAIL: $room is in namespace $name"
        echo "$hits" | sed 's/^/    /'
        failed=$((failed + 1))
    else
        passed=$((passed + 1))
    fi
}
in_namespace winapi winapi
in_namespace player player
in_namespace sim sim
in_namespace hosts/core "(core|winapi::host)"  # the core implements the seam
for driver in "${drivers[@]}"; do
    # A driver implements the seam (winapi::host) in its own words; the
    # page's keeps the settings text where the desktops' files keep it, and
    # says where a run's link is deflated on the page.
    in_namespace "$driver" "(${driver#hosts/}|winapi::host|player::settings|player::run_link)"
done

echo "house rules: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
