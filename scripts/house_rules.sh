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
hosts=(hosts/sdl hosts/web hosts/win32 hosts/headless hosts/template)
public='winapi/(win|ddraw|gdi|default_palette|language)\.h"'

includes_outside "the Windows room includes only itself" 'winapi/' winapi
includes_outside "the shared player services include only themselves and the Windows room" 'hosts/shared/|winapi/' hosts/shared
for host in "${hosts[@]}"; do
    includes_outside "$host includes itself, the shared services and the Windows room; its *_main.cpp the sim too" \
        "${host}/|hosts/shared/|winapi/|sim/(session|runner|script|trace|showing)\.h\"" "$host"
done
rule "only a host's *_main.cpp talks to the sim" '#include *"sim/' 'hosts/' ':!hosts/*/*_main.cpp'
includes_outside "the game includes only itself and the Windows room's public headers" \
    "app/|display/|game/|${public}" "${game[@]}"
includes_outside "the sim includes the game, the Windows room and the shared services, never a host" \
    'sim/|app/|display/|game/|winapi/|hosts/shared/' sim
rule "no room of the program includes tools/" '#include *"tools/' "${game[@]}" winapi hosts sim
rule "no #if on the system outside hosts/ and OS-suffixed files" \
    '#\s*(if|ifdef|ifndef|elif)\b.*(_WIN32|__EMSCRIPTEN__|__linux__|__APPLE__)' \
    '*.cpp' '*.h' ':!hosts/sdl/' ':!hosts/web/' ':!hosts/win32/' ':!*_posix.cpp' ':!*_win32.cpp'
rule "the system's libraries are spoken to only by the hosts" \
    '#include *[<"](SDL|emscripten|ft2build|freetype|iconv)' "${game[@]}" winapi hosts/shared hosts/headless sim
rule "<windows.h> is included by the Win32 host and the *_win32.cpp files only" \
    '#include *[<"]windows\.h' "${game[@]}" winapi hosts/shared hosts/headless sim ':!*_win32.cpp'
rule "the game's text needs no FreeType or iconv (baked into font/ by tools/fontbake)" \
    '#include *[<"](ft2build|freetype|iconv)' hosts
rule "extern belongs in the owner's header" '^\s*extern\b' \
    'app/*.cpp' 'display/*.cpp' 'game/*.cpp' 'winapi/*.cpp' 'hosts/*.cpp' 'sim/*.cpp'

echo "house rules: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
