#!/bin/bash
# kawauo.exe under Wine on a virtual X display, from the unpacked zip: it
# carries its icon, version and manifest, the read-mes are beside it (CRLF,
# every key, the settings file's place); the window, titled kawauo, covers
# the screen, the title shows in the display's language (Japanese; English
# for an English display), the first start writes the settings file, SPACE
# starts play, Alt+Enter makes a window and back, ESC ends with 0; a missing
# picture shows the creation-error box and ends with 1; the program alone,
# without bmp\, shows one box naming Windows' folders and ends with 1.
# Prints how long the start takes.
#   game_wine.sh GAME_FOLDER SOURCE_DIR
# Wine must be ready (WINEPREFIX, WINEDEBUG, USER as the prefix was made, and
# LOCPATH with an en_US.UTF-8 locale) in the caller's environment, its
# display in Japanese.
set -u

GAME=$(realpath "$1")
SRC=$(realpath "$2")

source "$SRC/scripts/checks.sh"
CLEANUP_MORE="wineserver -k"

# ------------------------------------------------------------ its identity
# The resources as MinGW's windres reads them back from the program.
VERSION=$(sed -n 's/^project(kawauo VERSION \([0-9.]*\).*/\1/p' "$SRC/CMakeLists.txt")
x86_64-w64-mingw32-windres -J coff -i "$GAME/kawauo.exe" -O rc >"$WORK/resources.rc" 2>&1
check "kawauo.exe carries the fish icon" grep -q 'RT_GROUP_ICON' "$WORK/resources.rc"
check "kawauo.exe names itself kawauo $VERSION" \
    grep -qzF "VALUE \"ProductName\", \"kawauo\"
      VALUE \"ProductVersion\", \"$VERSION\"" "$WORK/resources.rc"
check "kawauo.exe's manifest asks for per-monitor DPI and UTF-8" \
    grep -qzE 'RT_MANIFEST.*PerMonitorV2.*>UTF-8<' "$WORK/resources.rc"
check "the read-mes are there, the Japanese one in UTF-8 with a byte order mark" \
    sh -c 'test -s "$1/README-en.txt" && test "$(head -c3 "$1/README-ja.txt" | od -An -tx1)" = " ef bb bf" &&
           iconv -f UTF-8 -t UTF-16 "$1/README-ja.txt" >/dev/null' - "$GAME"
for readme in README-en.txt README-ja.txt; do
    check "$readme ends every line as Windows does (CRLF)" \
        test "$(grep -c $'\r$' "$GAME/$readme")" = "$(wc -l <"$GAME/$readme")"
    # The keys of the game's own table, each one there.
    check "$readme lists every key: WASD, the keypad, 1 2 3, F12" \
        sh -c 'grep -q "WASD" "$1" && grep -q "8 4 6 2" "$1" && grep -q "F2.*2" "$1" && grep -q "^  F12 " "$1"' - \
        "$GAME/$readme"
    check "$readme names the settings file where the game keeps it" \
        grep -qF '%APPDATA%\kawauo\settings.ini' "$GAME/$readme"
done

# A Wine session left from runs without a display (the sim's, the prefix's
# making) would serve the game without its X driver: wait for it to end.
wineserver -w

# 1280x1024: full screen shows the picture at twice its size, 32 rows of black above.
SCREEN_W=1280 SCREEN_H=1024 SCALE=2 PIC_X=0 PIC_Y=32
source "$SRC/scripts/xvfb.sh"
start_xvfb "${SCREEN_W}x${SCREEN_H}" "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start"; exit 1; }

source "$SRC/scripts/game_window.sh"
not() { ! "$@"; }
now_ms() { date +%s%3N; }
# The settings file, which the first start makes.
SETTINGS="$WINEPREFIX/drive_c/users/$USER/AppData/Roaming/kawauo/settings.ini"
rm -f "$SETTINGS"

# ------------------------------------------------------------ a short visit
# Started from elsewhere: the game finds bmp\ beside kawauo.exe.
cd "$WORK"
START=$(now_ms)
PROGRESS=visit.rec.part
wine "$GAME/kawauo.exe" --record visit.rec 2>"$WORK/visit.err" &
GAME_PID=$!
check "the window opens, titled kawauo" wait_for_window kawauo 300
[ -n "${WID:-}" ] || { cat "$WORK/visit.err"; exit 1; }
WINDOW_MS=$(($(now_ms) - START))
FULL=$(window_size "$WID")
check "the window covers the screen ($FULL)" test "$FULL" = "${SCREEN_W}x${SCREEN_H}"
xdotool windowfocus "$WID" 2>/dev/null
check "the title shows, in Japanese as the display is" eventually 20 shows_overlay "$GAME/bmp/opn.bmp"
TITLE_MS=$(($(now_ms) - START))
echo "start-up under Wine: window after ${WINDOW_MS} ms, title seen after ${TITLE_MS} ms"
check "the first start writes settings.ini, every setting explained and shown at its value" \
    sh -c 'grep -q "^# kawauo'"'"'s settings" "$1" && grep -qx "# fullscreen = yes" "$1" &&
           grep -qx "# scale = fit" "$1" && grep -qx "# key.space = Space" "$1"' - "$SETTINGS"

press space
check "SPACE starts play" eventually 10 lacks_overlay "$GAME/bmp/opn.bmp"
shot "$WORK/play1.png"
wait_frames 30
shot "$WORK/play2.png"
CHANGED=$(compare -metric AE "$WORK/play1.png" "$WORK/play2.png" null: 2>&1)
check "frames go on: the river moves (${CHANGED%% *} pixels in 30 frames)" test "${CHANGED%% *}" -gt 500

sized() { [ "$(window_size "$WID")" = "$1" ]; }
xdotool key alt+Return
wait_for not sized "${SCREEN_W}x${SCREEN_H}"
WINDOWED=$(window_size "$WID")
check "Alt+Enter makes a window ($WINDOWED)" test "$WINDOWED" != "${SCREEN_W}x${SCREEN_H}"
xdotool windowfocus "$WID" 2>/dev/null
xdotool key alt+Return
wait_for sized "${SCREEN_W}x${SCREEN_H}"
FULL=$(window_size "$WID")
check "Alt+Enter again covers the screen ($FULL)" test "$FULL" = "${SCREEN_W}x${SCREEN_H}"

xdotool windowfocus "$WID" 2>/dev/null
hold_until_gone Escape
wait_game 10
STATUS=$?
check "ESC ends the game with 0 (got $STATUS)" test "$STATUS" = 0
GAME_PID=
check "Alt+Enter's choice takes the place of its line in settings.ini" \
    grep -qzF $'# Full screen (yes) or a window (no). Alt+Enter switches.\nfullscreen = yes\n' "$SETTINGS"

# ------------------------------------------------------- an English player
# Windows showing its menus in English: the game speaks English, told by
# neither the command line nor the settings file.
LC_MESSAGES=en_US.UTF-8 wine "$GAME/kawauo.exe" 2>"$WORK/english.err" &
GAME_PID=$!
check "an English display: the window opens" wait_for_window kawauo 300
xdotool windowfocus "$WID" 2>/dev/null
check "an English display: the title shows in English" eventually 20 shows_overlay "$GAME/bmp/en/opn.bmp"
press Escape
wait_game 10
GAME_PID=

# ------------------------------------------------------- a missing picture
mkdir -p "$WORK/broken"
cp "$GAME/kawauo.exe" "$WORK/broken/"
cp -r "$GAME/bmp" "$WORK/broken/bmp"
rm "$WORK/broken/bmp/fish1.bmp"
wine "$WORK/broken/kawauo.exe" 2>"$WORK/broken.err" &
GAME_PID=$!
# Its caption, as the game writes it, decoded from CP932 to the window's title.
CAPTION=$(grep '^kTextCreateFailedCaption' "$SRC/display/texts.txt" | sed 's/^[^[:space:]]*[[:space:]]*//')
check "the creation-error box shows ($CAPTION)" wait_for_window "$CAPTION" 300
if [ -n "${WID:-}" ]; then
    xdotool windowfocus "$WID" 2>/dev/null
    xdotool key --window "$WID" Return
fi
wait_game 10
STATUS=$?
check "the missing picture ends the game with 1 (got $STATUS)" test "$STATUS" = 1
GAME_PID=
# Started as Explorer starts it, with no console to read standard error in:
# after the game's own box, one titled kawauo says which picture and why.
wine start /wait /unix "$WORK/broken/kawauo.exe" &
GAME_PID=$!
# shows TITLE [BESIDE]: a window titled TITLE shows (not the window BESIDE); sets WID.
shows_now() {
    WID=$(xdotool search --name "^$1\$" 2>/dev/null | grep -vx "${2:-none}" | head -n1)
    [ -n "$WID" ]
}
shows() { wait_for shows_now "$@"; }
answer() { xdotool windowfocus "$WID" 2>/dev/null; xdotool key --window "$WID" Return; }
check "without a console: the creation-error box shows" shows "$CAPTION"
# The game's window, titled kawauo too while the box shows, is not the box looked for.
GAME_WINDOW=$(xdotool search --name '^kawauo$' 2>/dev/null | head -n1)
answer
check "and after it a box titled kawauo, telling which picture is missing" shows kawauo "${GAME_WINDOW:-none}"
answer
wait_game 20
STATUS=$?
check "then the game ends with 1 (got $STATUS)" test "$STATUS" = 1
GAME_PID=

# ------------------------------------------------------- 1366x768: fit
# A screen of another shape: fit, the default, fills its height in 4:3,
# 1024x768 in the middle with 171 black columns either side (whole factors
# alone would leave 640x480 there).
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null
wineserver -w
start_xvfb 1366x768 "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start at 1366x768"; exit 1; }
# nonblack_in SHOT X Y WxH: whether $WORK/SHOT.png holds any colour in that
# rectangle; nonblack X Y WxH: whether the screen does.
nonblack_in() { [ "$(convert "$WORK/$1.png" -crop "$4+$2+$3" -format '%[max]' info:)" != 0 ]; }
nonblack() { nonblack_in root "$@"; }
# fits_height: the screen shows the picture at 1024x768 between black
# bars, waited for as the game draws (fills_height is one look).
fills_height() {
    import -window root -silent "$WORK/root.png"
    ! nonblack 0 0 171x768 && ! nonblack 1195 0 171x768 && nonblack 171 0 1x768 && nonblack 1194 0 1x768 &&
        nonblack 171 0 1024x1 && nonblack 171 767 1024x1
}
fits_height() { wait_for fills_height; }
wine "$GAME/kawauo.exe" 2>"$WORK/fit.err" &
GAME_PID=$!
check "1366x768: the window opens" wait_for_window kawauo 300
check "1366x768: fit fills the screen's height at 4:3, in the middle" fits_height
# In a window, where twice the picture does not fit: the largest 4:3 that does.
xdotool windowfocus "$WID" 2>/dev/null
xdotool key alt+Return
window_grows() { [ "$(window_size "$WID")" != 1366x768 ]; }
wait_for window_grows
read -r WINDOW_W WINDOW_H < <(window_size "$WID" | tr x ' ')
check "1366x768: Alt+Enter's window is the largest that fits, at least 1.5 times (${WINDOW_W}x${WINDOW_H})" \
    test "$WINDOW_W" -ge 960 -a "$WINDOW_H" -ge 720 -a "$WINDOW_W" -lt 1280 -a $((WINDOW_W * 3)) -eq $((WINDOW_H * 4))
# window_bars W H BAR: the window at W x H shows the picture between side
# bars BAR wide that hold nothing but black (and the picture no black edge),
# waited for as the game draws (bars_black is one look).
bars_black() {
    local w=$1 h=$2 bar=$3
    import -window "$WID" -silent "$WORK/window.png"
    [ "$(identify -format '%wx%h' "$WORK/window.png")" = "${w}x${h}" ] &&
        ! nonblack_in window 0 0 "${bar}x$h" && ! nonblack_in window $((w - bar)) 0 "${bar}x$h" &&
        nonblack_in window "$bar" 0 "1x$h" && nonblack_in window $((w - bar - 1)) 0 "1x$h"
}
window_bars() {
    wait_for bars_black "$@" && return 0
    echo "  the window shows $(identify -format '%wx%h' "$WORK/window.png" 2>/dev/null)"
    return 1
}
# Resized to another shape, then narrower: each time the black beside the
# picture is black, no copy of the picture it showed before.
xdotool windowsize "$WID" 1000 600
check "1366x768: resized to 1000x600, the bars beside the 800x600 picture are black" window_bars 1000 600 100
xdotool windowsize "$WID" 900 600
check "1366x768: resized to 900x600, the bars beside the 800x600 picture are black" window_bars 900 600 50
xdotool windowfocus "$WID" 2>/dev/null
xdotool key alt+Return
check "1366x768: Alt+Enter back to full screen: the bars are black again" fits_height
xdotool windowfocus "$WID" 2>/dev/null
hold_until_gone Escape
wait_game 10
GAME_PID=

# ------------------------------------------------------- the program alone
# As Explorer runs it from inside the zip: one box in Japanese names the
# folders searched and says to unpack the whole folder; answered, the game
# ends with 1, never reaching the pictures' own boxes.
mkdir -p "$WORK/alone"
cp "$GAME/kawauo.exe" "$WORK/alone/"
(cd "$WORK/alone" && exec wine "$WORK/alone/kawauo.exe") 2>"$WORK/alone.err" &
GAME_PID=$!
check "alone: a box titled kawauo shows" wait_for_window kawauo 300
if [ -n "${WID:-}" ]; then
    sleep 1
    check "alone: only that one" test "$(xdotool search --name '^kawauo$' | wc -l)" -eq 1
    xdotool windowfocus "$WID" 2>/dev/null
    xdotool key --window "$WID" Return
fi
wait_game 10
STATUS=$?
check "alone: answered, the game ends with 1 (got $STATUS)" test "$STATUS" = 1
check "alone: it names its folder and says to unpack the whole folder" \
    sh -c 'grep -qF "\\alone" "$1" && grep -qF "すべて展開して" "$1"' - "$WORK/alone.err"
check "alone: it names no folder of another system's (share\\...)" bash -c "! grep -q share '$WORK/alone.err'"
GAME_PID=

exit $((FAILURES > 0))
