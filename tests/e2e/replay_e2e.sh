#!/bin/bash
# Record and replay with the real window on a virtual X display: a run played
# with xdotool (moves, a move key, pause, a focus loss and return, a retire),
# recorded with --record and traced with --trace; kawauo-sim's trace of the
# recording must equal the live one line for line, state and draws. Then
# Ctrl+C copies nothing in play and, on the result screen, the link of the
# run so far, said in the window's title: kawauo-sim's link of the recording
# it holds, the beginning of the run's recording. Then
# --play shows the recording with the same frames, ignores the viewer's keys,
# holds the result screen and leaves on ESC, and shows the same frames from
# the run's link (a link cut short refused); files that cannot be written, and
# recordings holding what the recorder never writes, are refused before a
# window opens, leaving every file as it was; a run that shows no frame
# writes nothing; and a run killed while recording leaves a recording of its
# whole frames that plays.
#   replay_e2e.sh KAWAUO KAWAUO_SIM SOURCE_DIR
# KAWAUO_E2E_KEEP=DIR keeps the recordings and traces.
set -u

KAWAUO=$(realpath "$1")
SIM=$(realpath "$2")
SRC=$3

source "$SRC/scripts/checks.sh"
need_tools Xvfb xdotool xmessage import convert xclip

source "$SRC/scripts/xvfb.sh"
source "$SRC/scripts/game_window.sh"
start_xvfb 1280x1024 "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1; }
make_game_folder
cd "$WORK/game" || exit 1

# Another window takes the focus away, and gives it back.
lose_focus() {
    xmessage -name other "elsewhere" 2>/dev/null &
    OTHER_PID=$!
    local other=
    for _ in $(seq 50); do other=$(xdotool search --classname '^other$' 2>/dev/null | head -n1); [ -n "$other" ] && break; sleep 0.1; done
    xdotool mousemove --window "$other" 5 5
    local from
    from=$(progress_lines)
    xdotool windowfocus "$other" 2>/dev/null
    wait_for heard "$from" activate 0 2
    kill "$OTHER_PID"
    OTHER_PID=
    focus
}
# Equal files, or the first line where they part.
same_lines() {  # same_lines A B
    cmp -s "$1" "$2" && return 0
    local n
    n=$(cmp "$1" "$2" | awk '{ print $NF }')
    echo "  $(basename "$1") and $(basename "$2") part at line $n of $(wc -l <"$1") and $(wc -l <"$2"):"
    sed -n "${n}p" "$1" | cut -c1-400 | sed 's/^/  < /'
    sed -n "${n}p" "$2" | cut -c1-400 | sed 's/^/  > /'
    return 1
}
scene_of_last_frame() { grep '^{"frame"' "$1" | tail -n1 | sed 's/.*"scene":\([0-9]*\).*/\1/'; }
# The live run's trace, written beside its place, is at the result screen.
live_on_result() { cat .live.jsonl.kawauo-* 2>/dev/null | scene_of_last_frame - | grep -qx 3; }
# The clipboard holds a run's link.
clipboard_link() { xclip -selection clipboard -o 2>/dev/null | grep -q '#run='; }
# The window's title tells the core's note of a link copied.
title_says_copied() { xdotool getwindowname "$WID" 2>/dev/null | grep -q "the run's link is copied"; }

# ---------------------------------------------------------------- a recorded run
start_drawn live.err --record run.rec --trace live.jsonl
wait_frames 30
press space
wait_frames 30
press Right 20
press Up 12
press F2
press space
wait_frames 10
lose_focus
press space
printf 'not a link' | xclip -selection clipboard -i
press ctrl+c 4 -
check "Ctrl+C in play copies nothing" test "$(xclip -selection clipboard -o)" = 'not a link'
press Left 10
press Tab
wait_for live_on_result
press ctrl+c 4 -
wait_for clipboard_link
COPIED=$(xclip -selection clipboard -o 2>/dev/null)
check "the window's title says the link is copied" wait_for title_says_copied
wait_frames 30
hold_until_gone Escape
wait_game 10
status=$?
GAME_PID=
check "the recorded run ends with status 0 (got $status)" test "$status" -eq 0
check "the recording is in place, its temporary file gone" test -s run.rec -a ! -e run.rec.part
check "the recording names its format and version" grep -qx 'recording 1 kawauo [0-9.]*' <(head -n1 run.rec)
check "the recording holds the seed, the focus loss and return, and the keys" \
    bash -c "grep -q '^seed ' run.rec && grep -q '^activate 0' run.rec && grep -q '^activate 1' run.rec &&
             grep -q '^down F2' run.rec && grep -q '^up TAB' run.rec && grep -q '^down ESCAPE' run.rec"
check "the live run reached the result screen" test "$(scene_of_last_frame live.jsonl)" = 3

"$SIM" --recording "$COPIED" >copied.rec 2>copied.err
check "Ctrl+C on the result screen copied kawauo-sim's link (${#COPIED} characters) of the run so far" \
    bash -c "[ \"\$('$SIM' --link copied.rec)\" = '$COPIED' ] && cmp -s copied.rec <(head -c \$(stat -c%s copied.rec) run.rec)"
cp run.rec replay-source.rec
"$SIM" --draws --trace replay.jsonl run.rec 2>sim.err
status=$?
check "kawauo-sim replays the recording (status $status)" test "$status" -eq 0
check "the replayed trace equals the live one, frame for frame, state and draws ($(grep -c '^{"frame"' live.jsonl) frames)" \
    same_lines live.jsonl replay.jsonl

# ---------------------------------------------------------------- the recording shown
FRAMES=$(grep -c '^{"frame"' replay.jsonl)
start_game play.err --play run.rec --trace played.jsonl
# The viewer's keys other than ESC change nothing.
xdotool key space Tab Left F1
# shown_past_the_end TRACE: the show's frames so far, read from its trace as
# it is written beside its place, are past the recording's end: a sanitizer
# build runs behind the clock, and is waited for.
shown_past_the_end() {
    local n
    n=$(cat ".$1.kawauo-"* 2>/dev/null | grep -c '^{"frame"')
    [ "${n:-0}" -gt $((FRAMES + 60)) ]
}
wait_for shown_past_the_end played.jsonl
check "the show holds after the recording's end" kill -0 "$GAME_PID"
hold_until_gone Escape
wait_game 10
status=$?
GAME_PID=
check "ESC leaves the show with status 0 (got $status)" test "$status" -eq 0
head -n "$FRAMES" played.jsonl >played-frames.jsonl
grep '^{"frame"' replay.jsonl >replay-frames.jsonl
check "the show's frames are the run's" same_lines replay-frames.jsonl played-frames.jsonl
check "the show held the result screen" test "$(scene_of_last_frame played.jsonl)" = 3
shown=$(grep -c '^{"frame"' played.jsonl)
check "the show ran on at the end ($shown frames against $FRAMES)" test "$shown" -gt "$FRAMES"

# ---------------------------------------------------------------- the run's link shown
LINK=$("$SIM" --link run.rec 2>link-sim.err)
# (Its length is no measure here: a sanitizer build's frames come unevenly.)
check "kawauo-sim makes the run's link (${#LINK} characters for $FRAMES frames)" test -n "$LINK"
start_game link.err --play "$LINK" --trace linked.jsonl
wait_for shown_past_the_end linked.jsonl
hold_until_gone Escape
wait_game 10
status=$?
GAME_PID=
check "ESC leaves the link's show with status 0 (got $status)" test "$status" -eq 0
head -n "$FRAMES" linked.jsonl >linked-frames.jsonl
check "the link's show has the run's frames" same_lines replay-frames.jsonl linked-frames.jsonl

# ---------------------------------------------------------------- a recording refused
sed '1s/.*/recording 1 kawauo 0.0.1/' run.rec >old.rec
timeout 10 "$KAWAUO" --play old.rec 2>old.err
status=$?
check "a recording of another version is not shown (status $status)" test "$status" -ne 0 -a "$status" -ne 124
check "the refusal names the file and line" grep -q 'old.rec:1: recorded by kawauo 0.0.1' old.err

# ---------------------------------------------------------------- files refused before the window
# refused WHY ARGS...: the game says WHY and ends with 1 at once.
refused() {
    local why=$1 status
    shift
    timeout 10 "$KAWAUO" "$@" 2>refused.err
    status=$?
    grep -qF -- "$why" refused.err && [ "$status" -eq 1 ] || { echo "  status $status:"; cat refused.err; return 1; }
}
echo kept >keep.rec
echo "what a run cut short left" >cut.rec.part
mkfifo fifo
mkdir folder
# A device of our own: a game that got it wrong would replace the real
# /dev/null as the superuser. Only the superuser can make one.
if mknod null c 1 3 2>/dev/null; then
    check "--record onto a device is refused" refused "kawauo: --record null: not a regular file" --record null
    check "the device is left as it was" test -c null
else
    echo "skipped: --record onto a device (no device could be made)"
fi
sed '2a fail SetClipper 0x88760096' run.rec >crafted.rec
check "--trace onto a FIFO no one reads is refused without waiting" \
    refused "kawauo: --trace fifo: not a regular file" --trace fifo
check "--record onto a folder is refused" refused "kawauo: --record folder: not a regular file" --record folder
check "--record onto a recording is refused" refused "kawauo: --record keep.rec: already exists" --record keep.rec
check "--record beside what a run cut short left is refused" \
    refused "kawauo: --record cut.rec: cut.rec.part already exists" --record cut.rec
check "--trace over the recording played is refused" \
    refused "kawauo: --trace run.rec: the same file as --play run.rec" --play run.rec --trace run.rec
check "--record and --trace in one file are refused" \
    refused "kawauo: --trace one: the same file as --record one" --record one --trace one
check "--play refuses a recording that tells the platform to fail" \
    refused "kawauo: crafted.rec:3: 'fail' is no line of a recording" --play crafted.rec
check "--play refuses a link cut short, saying so" refused ": truncated: it ends before its run does" --play "${LINK:0:120}"
check "the refused files are as they were" bash -c "[ \"\$(cat keep.rec)\" = kept ] && [ -p fifo ] && [ -d folder ] &&
    [ \"\$(cat cut.rec.part)\" = 'what a run cut short left' ] && [ ! -e one ] && [ ! -e one.part ] &&
    [ ! -e cut.rec ] && cmp -s run.rec replay-source.rec"
env -u DISPLAY SDL_VIDEODRIVER=x11 timeout 10 "$KAWAUO" --record nodisplay.rec --trace nodisplay.jsonl 2>nodisplay.err
status=$?
check "without a display the game ends with 1 (got $status)" test "$status" -eq 1
check "a run that showed no frame writes nothing" bash -c '! ls nodisplay.* | grep -v nodisplay.err'
# Started in a folder since removed, from beside the pictures it then enters.
cp "$KAWAUO" "$WORK/game/kawauo-copy"
mkdir "$WORK/gone"
(cd "$WORK/gone" && rmdir "$WORK/gone" && exec timeout 10 "$WORK/game/kawauo-copy" --record lost.rec) 2>gone.err
status=$?
check "a relative name from a removed working folder is refused (status $status)" \
    bash -c "[ $status -eq 1 ] && grep -q 'kawauo: --record lost.rec: .*the working folder is gone' gone.err"
check "and nothing is written in the picture folder" bash -c '! ls lost.rec* 2>/dev/null'

# ---------------------------------------------------------------- a run killed while recording
start_drawn killed.err --record killed.rec
press space
press Right 20
kill -KILL "$GAME_PID"
wait "$GAME_PID" 2>/dev/null
GAME_PID=
check "a killed run leaves its recording under the temporary name" test -s killed.rec.part -a ! -e killed.rec
"$SIM" killed.rec.part >/dev/null 2>killed-sim.err
status=$?
check "what it holds plays (status $status)" test "$status" -eq 0
check "it holds the run's keys" grep -q '^down RIGHT' killed.rec.part

if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed"
    for f in live.err sim.err play.err link-sim.err link.err gone.err nodisplay.err killed-sim.err; do [ -s "$f" ] && { echo "--- $f"; cat "$f"; }; done
    exit 1
fi
echo "all checks passed"
