#!/bin/bash
# The real game where its surroundings are against it, on a virtual X display:
# no display or a dead one, standard streams closed, SIGTERM and SIGINT in
# play and at a message box, and the box itself, read back from the screen.
#   environment_e2e.sh KAWAUO SOURCE_DIR
set -u

KAWAUO=$(realpath "$1")
SRC=$2

for tool in Xvfb xdotool xwininfo import convert compare; do
    # CI installs every tool, so a missing one there is a failure, not a skip.
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; [ -n "${CI:-}" ] && exit 1; exit 77; }
done

WORK=$(mktemp -d)
XVFB_PID=
GAME_PID=
cleanup() {
    [ -n "$GAME_PID" ] && kill -KILL "$GAME_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "${KAWAUO_E2E_KEEP:-}" ] && cp -r "$WORK/." "$KAWAUO_E2E_KEEP/"
    rm -rf "$WORK"
}
trap cleanup EXIT

FAILURES=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; FAILURES=$((FAILURES + 1)); fi
}

SCALE=1 PIC_X=0 PIC_Y=0
source "$SRC/scripts/xvfb.sh"
source "$SRC/scripts/game_window.sh"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$(realpath "$0")")/lsan.supp:fast_unwind_on_malloc=0"
# What SDL would be told to use is for the game to choose here.
unset SDL_VIDEODRIVER

mkdir -p "$WORK/game" "$WORK/empty"
cp -r "$SRC/bmp" "$WORK/game/bmp"
BMP=$WORK/game/bmp

# ---------------------------------------------------------------- no display
# A display number nothing listens on.
dead=99
while [ -e "/tmp/.X11-unix/X$dead" ]; do dead=$((dead + 1)); done
for display in unset ":$dead"; do
    if [ "$display" = unset ]; then
        (cd "$WORK/game" && exec env -u DISPLAY "$KAWAUO") 2>"$WORK/nodisplay.err" &
    else
        (cd "$WORK/game" && DISPLAY=$display exec "$KAWAUO") 2>"$WORK/nodisplay.err" &
    fi
    GAME_PID=$!
    wait_game 5
    status=$?
    GAME_PID=
    check "DISPLAY $display: the game ends with 1 (got $status)" test "$status" -eq 1
    check "DISPLAY $display: it says it cannot open a display" grep -q '^kawauo: cannot open a display: ' "$WORK/nodisplay.err"
done

start_xvfb 640x480 "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1; }

# ---------------------------------------------------------------- standard error closed
(cd "$WORK/game" && exec "$KAWAUO" 2>&-) &
GAME_PID=$!
check "with standard error closed the window opens" wait_for_window
focus
check "with standard error closed the title shows" eventually 20 shows_overlay "$BMP/opn.bmp"
xdotool key Escape
wait_game 10
status=$?
GAME_PID=
check "with standard error closed ESC ends the game with 0 (got $status)" test "$status" -eq 0

# ---------------------------------------------------------------- signals in play
# A background job of a script starts with SIGINT ignored: the game gets it
# as from a terminal.
for signal in TERM INT; do
    (cd "$WORK/game" && exec env --default-signal=INT "$KAWAUO") 2>"$WORK/signal.err" &
    GAME_PID=$!
    check "SIG$signal: the window opens" wait_for_window
    check "SIG$signal: the title shows" eventually 20 shows_overlay "$BMP/opn.bmp"
    kill -s "$signal" "$GAME_PID"
    wait_game 2
    status=$?
    GAME_PID=
    check "SIG$signal on the title ends the game as the signal would (got $status)" \
        test "$status" -eq $((128 + $(kill -l "$signal")))
done

if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed"
    exit 1
fi
echo "all checks passed"
