#!/bin/bash
# kawauo.exe under Wine on a virtual X display, from the unpacked zip: the
# window covers the screen, the title shows, SPACE starts play, Alt+Enter
# makes a window and back, ESC ends with 0; a missing picture shows the
# creation-error box and ends with 1. Prints how long the start takes.
#   game_wine.sh GAME_FOLDER SOURCE_DIR
# Wine must be ready (WINEPREFIX, WINEDEBUG) in the caller's environment.
set -u

GAME=$(realpath "$1")
SRC=$(realpath "$2")

WORK=$(mktemp -d)
XVFB_PID=
GAME_PID=
cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
    wineserver -k 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

FAILURES=0
pass() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# A Wine session left from runs without a display (the sim's, the prefix's
# making) would serve the game without its X driver: wait for it to end.
wineserver -w

# 1280x1024: full screen shows the picture at twice its size, 32 rows of black above.
SCREEN_W=1280 SCREEN_H=1024 SCALE=2 PIC_X=0 PIC_Y=32
source "$SRC/scripts/xvfb.sh"
start_xvfb "${SCREEN_W}x${SCREEN_H}" "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start"; exit 1; }

# The game's picture as shown: the letterboxed area, back to 640x480.
shot() {
    import -window root -silent "$WORK/root.png"
    convert "$WORK/root.png" -crop $((640 * SCALE))x$((480 * SCALE))+$PIC_X+$PIC_Y +repage -sample 640x480 "$1"
}
# How many of a full-screen keyed picture's opaque pixels the shot misses, of how many.
overlay_misses() {  # SHOT PICTURE -> "misses opaque"
    local key misses opaque
    key=$(convert "$2" -format '%[pixel:p{0,0}]' info:)
    convert "$2" -transparent "$key" "$WORK/overlay.png"
    composite "$WORK/overlay.png" "$1" "$WORK/composed.png"
    misses=$(compare -metric AE "$1" "$WORK/composed.png" null: 2>&1)
    opaque=$(convert "$WORK/overlay.png" -alpha extract -format '%[fx:round(mean*w*h)]' info:)
    echo "${misses%% *} $opaque"
}
shows_title() {  # at most 5% of the title picture's opaque pixels missing
    local misses opaque
    read -r misses opaque < <(overlay_misses "$1" "$GAME/bmp/opn.bmp")
    [ "$opaque" -gt 0 ] && [ $((misses * 20)) -le "$opaque" ]
}
lacks_title() {  # more than half missing
    local misses opaque
    read -r misses opaque < <(overlay_misses "$1" "$GAME/bmp/opn.bmp")
    [ $((misses * 2)) -gt "$opaque" ]
}
eventually() {  # eventually N CHECK: polls CHECK on fresh shots
    for _ in $(seq "$1"); do
        shot "$WORK/now.png"
        "$2" "$WORK/now.png" && return 0
        sleep 0.3
    done
    return 1
}

wait_for_window() {  # wait_for_window NAME: sets WID
    for _ in $(seq 300); do
        WID=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1)
        [ -n "$WID" ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
window_size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
# Held across several frames: the game looks at its keys once a frame.
press() { xdotool keydown "$1"; sleep 0.25; xdotool keyup "$1"; sleep 0.4; }
wait_game() {  # wait_game SECONDS: the game's exit status, or 124 if it still runs
    for _ in $(seq $(($1 * 10))); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$GAME_PID" 2>/dev/null; then return 124; fi
    wait "$GAME_PID"
}
now_ms() { date +%s%3N; }

# ------------------------------------------------------------ a short visit
# Started from elsewhere: the game finds bmp\ beside kawauo.exe.
cd "$WORK"
START=$(now_ms)
wine "$GAME/kawauo.exe" 2>"$WORK/visit.err" &
GAME_PID=$!
check "the window opens" wait_for_window 2DGAME
[ -n "${WID:-}" ] || { cat "$WORK/visit.err"; exit 1; }
WINDOW_MS=$(($(now_ms) - START))
FULL=$(window_size "$WID")
check "the window covers the screen ($FULL)" test "$FULL" = "${SCREEN_W}x${SCREEN_H}"
xdotool windowfocus "$WID" 2>/dev/null
check "the title shows" eventually 20 shows_title
TITLE_MS=$(($(now_ms) - START))
echo "start-up under Wine: window after ${WINDOW_MS} ms, title seen after ${TITLE_MS} ms"

press space
check "SPACE starts play" eventually 10 lacks_title
shot "$WORK/play1.png"
sleep 0.5
shot "$WORK/play2.png"
CHANGED=$(compare -metric AE "$WORK/play1.png" "$WORK/play2.png" null: 2>&1)
check "frames go on: the river moves (${CHANGED%% *} pixels in half a second)" test "${CHANGED%% *}" -gt 500

xdotool key alt+Return
sleep 1
WINDOWED=$(window_size "$WID")
check "Alt+Enter makes a window ($WINDOWED)" test "$WINDOWED" != "${SCREEN_W}x${SCREEN_H}"
xdotool windowfocus "$WID" 2>/dev/null
xdotool key alt+Return
sleep 1
FULL=$(window_size "$WID")
check "Alt+Enter again covers the screen ($FULL)" test "$FULL" = "${SCREEN_W}x${SCREEN_H}"

xdotool windowfocus "$WID" 2>/dev/null
press Escape
wait_game 10
STATUS=$?
check "ESC ends the game with 0 (got $STATUS)" test "$STATUS" = 0
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
check "the creation-error box shows ($CAPTION)" wait_for_window "$CAPTION"
if [ -n "${WID:-}" ]; then
    xdotool windowfocus "$WID" 2>/dev/null
    xdotool key --window "$WID" Return
fi
wait_game 10
STATUS=$?
check "the missing picture ends the game with 1 (got $STATUS)" test "$STATUS" = 1
GAME_PID=

exit $((FAILURES > 0))
