#!/bin/bash
# The real game where its surroundings are against it, on a virtual X display:
# no display or a dead one, standard streams closed, SIGTERM and SIGINT in
# play and at a message box, and the box itself, read back from the screen;
# no pictures anywhere: one box saying so.
#   environment_e2e.sh KAWAUO SOURCE_DIR BOX_RENDER
set -u

KAWAUO=$(realpath "$1")
SRC=$2
BOX_RENDER=$3

source "$SRC/scripts/checks.sh"
need_tools Xvfb xdotool xwininfo import convert compare

SCALE=1 PIC_X=0 PIC_Y=0
source "$SRC/scripts/xvfb.sh"
source "$SRC/scripts/game_window.sh"
# What SDL would be told to use is for the game to choose here.
unset SDL_VIDEODRIVER

make_game_folder
# A folder whose only picture is damaged: the game's own box for each picture.
mkdir -p "$WORK/damaged/bmp" "$WORK/nopictures"
printf 'BM' >"$WORK/damaged/bmp/back.bmp"
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
hold_until_gone Escape
wait_game 10
status=$?
GAME_PID=
check "with standard error closed ESC ends the game with 0 (got $status)" test "$status" -eq 0

# ---------------------------------------------------------------- a closed terminal, a closed pipe
# SIGHUP (the terminal closed) ends the game as SIGTERM does: the recording
# and the trace put in place, whole, nothing of theirs left beside them.
STARTED_IN=$PWD
cd "$WORK/game" || exit 1
start_drawn "$WORK/hup.err" --record hup.rec --trace hup.jsonl
wait_frames 30
kill -HUP "$GAME_PID"
wait_game 10
status=$?
GAME_PID=
check "SIGHUP ends the game as the signal would (got $status)" test "$status" -eq 129
check "and the recording and the trace are in place, whole" \
    bash -c '[ -s hup.rec ] && tail -n1 hup.jsonl | grep -q "\"event\":\"exit\"" && ! ls hup.rec.part .hup.jsonl.kawauo-* 2>/dev/null'
# Standard error a pipe whose reader has gone: F12's message is lost, never
# the game (a write there once ended it with SIGPIPE).
export XDG_PICTURES_DIR=$WORK/pictures
mkfifo "$WORK/stderr-pipe"
exec 9<>"$WORK/stderr-pipe"  # a reader while the game opens it
start_drawn "$WORK/stderr-pipe" --record pipe.rec
exec 9<&-
xdotool key F12
shot_taken() { ls "$XDG_PICTURES_DIR"/kawauo/*.png >/dev/null 2>&1; }
wait_for shot_taken
wait_frames 10
check "a message to a pipe nobody reads leaves the game running" kill -0 "$GAME_PID"
hold_until_gone Escape
wait_game 10
status=$?
GAME_PID=
check "and it ends on ESC with 0 (got $status), its recording in place" test "$status" -eq 0 -a -s pipe.rec
cd "$STARTED_IN" || exit 1

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

# ---------------------------------------------------------------- the message box
# Started where no picture can be read, the game shows one box a picture.
CAPTION=$(grep '^kTextCreateFailedCaption[[:space:]]' "$SRC/display/texts.txt" | sed 's/^[^[:space:]]*[[:space:]]*//')
boxes_told() { grep -cF "$CAPTION: " "$WORK/box.err"; }
box_window() { xwininfo -root -children 2>/dev/null | grep -F "\"$CAPTION\"" | awk '{ print $1 }' | head -n1; }
# wait_box [LAST]: sets BOX to the box's window, a new one when given the
# last. A last box still shown after 3 s lost its answer (a key can be lost
# on a loaded machine) and is answered again.
wait_box() {
    local i
    for i in $(seq 300); do
        BOX=$(box_window)
        [ -n "$BOX" ] && [ "$BOX" != "${1:-}" ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        [ -n "${1:-}" ] && [ "$BOX" = "$1" ] && [ $((i % 30)) -eq 0 ] && answer Return
        sleep 0.1
    done
    return 1
}
answer() { xdotool mousemove --window "$BOX" 5 5; xdotool windowfocus "$BOX" 2>/dev/null; xdotool key "$1"; }
start_boxes() {
    (cd "$WORK/damaged" && exec env --default-signal=INT "$KAWAUO") 2>"$WORK/box.err" &
    GAME_PID=$!
}

start_boxes
check "the box opens, found by its caption" wait_box
"$BOX_RENDER" "$WORK/box_expected.png"
# The box as drawn once it is drawn: its picture, polled until it is the one expected.
box_as_expected() {
    import -window "$BOX" -silent "$WORK/box.png" 2>/dev/null
    differ=$(compare -metric AE "$WORK/box.png" "$WORK/box_expected.png" null: 2>&1)
    [ "${differ%% *}" = 0 ]
}
wait_for box_as_expected
check "the box shows its caption, text and OK in the game's font ($differ pixels differ)" test "${differ%% *}" = 0
first=$BOX
answer Return
check "Enter answers the box and the next one opens" wait_box "$first"
check "each box is told on standard error ($(boxes_told))" test "$(boxes_told)" -eq 2
kill -TERM "$GAME_PID"
wait_game 2
status=$?
GAME_PID=
check "SIGTERM at a box ends the game as the signal would (got $status)" test "$status" -eq 143
check "no box after the signal ($(boxes_told) told)" test "$(boxes_told)" -eq 2

start_boxes
wait_box
kill -INT "$GAME_PID"
wait_game 2
status=$?
GAME_PID=
check "SIGINT at a box ends the game as the signal would (got $status)" test "$status" -eq 130

# Every box answered, by each of the keys that answer one and by a click on
# OK, centred 24 pixels above the box's bottom.
click_ok() {
    read -r w h < <(xwininfo -id "$BOX" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
    xdotool mousemove --window "$BOX" $((w / 2)) $((h - 24)) click 1
}
start_boxes
keys=(Return space Escape KP_Enter)
answered=0
last=
while wait_box "$last"; do
    last=$BOX
    if [ $((answered % 5)) -eq 4 ]; then click_ok; else answer "${keys[answered % 5]}"; fi
    answered=$((answered + 1))
done
wait_game 15
status=$?
GAME_PID=
check "all $answered boxes answered, the game ends with 1 (got $status)" test "$answered" -eq 33 -a "$status" -eq 1

# ---------------------------------------------------------------- no pictures anywhere
# No folder searched holds them: one box (titled kawauo) in the player's
# language names the folders and what to do, and the game ends with 1 when
# it is answered, before a picture is tried.
says_all() {  # says_all FILE TEXT...: FILE holds every TEXT
    local file=$1 text
    shift
    for text in "$@"; do grep -qF -- "$text" "$file" || { echo "  not said: $text"; return 1; }; done
}
for lang in en ja; do
    if [ $lang = en ]; then advice="Install the package"; else advice="パッケージを入れ直す"; fi
    (cd "$WORK/nopictures" && exec "$KAWAUO" --lang $lang) 2>"$WORK/nopictures.err" &
    GAME_PID=$!
    check "no pictures ($lang): a box titled kawauo opens" wait_for_window kawauo
    BOX=$WID
    sleep 0.5
    check "no pictures ($lang): only that one" test "$(xdotool search --name '^kawauo$' | wc -l)" -eq 1
    # Answered again while it stays: a key can be lost on a loaded machine.
    for _ in 1 2 3; do
        xwininfo -id "$BOX" >/dev/null 2>&1 && answer Return
        wait_game 5
        status=$?
        [ $status -ne 124 ] && break
    done
    [ $status -eq 124 ] && kill "$GAME_PID"
    GAME_PID=
    check "no pictures ($lang): answered, the game ends with 1 (got $status)" test "$status" -eq 1
    check "no pictures ($lang): the folders searched and what to do are said" \
        says_all "$WORK/nopictures.err" "  $WORK/nopictures" "  $(dirname "$KAWAUO")" "$advice"
done

if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed"
    exit 1
fi
echo "all checks passed"
