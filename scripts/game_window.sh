# The real game's window on a virtual X display, found, driven and read back
# from screenshots: sourced by the e2e test and the package stage. The caller
# sets WORK (a scratch folder), SCALE, PIC_X and PIC_Y (where the 640x480
# picture shows on the screen, at what size), GAME_PID (the game) and gets
# WID (its window). Every wait is on the game's own progress: its recording,
# written a frame at a time (PROGRESS, the FILE.part of its --record), says
# which frames it has ended and which keys it has heard, whatever the load.
PROGRESS=
PROGRESS_RUNS=0

# The game's picture as shown: the letterboxed area, back to 640x480.
shot() {
    import -window root -silent "$WORK/root.png"
    convert "$WORK/root.png" -crop $((640 * SCALE))x$((480 * SCALE))+$PIC_X+$PIC_Y +repage -sample 640x480 "$1"
}

# How many of a full-screen keyed picture's opaque pixels the shot does not show.
overlay_misses() {  # FRAME PICTURE -> "misses opaque"
    local key
    key=$(convert "$2" -format '%[pixel:p{0,0}]' info:)
    convert "$2" -transparent "$key" "$WORK/overlay.png"
    composite "$WORK/overlay.png" "$1" "$WORK/composed.png"
    local misses opaque
    misses=$(compare -metric AE "$1" "$WORK/composed.png" null: 2>&1)
    opaque=$(convert "$WORK/overlay.png" -alpha extract -format '%[fx:round(mean*w*h)]' info:)
    echo "${misses%% *} $opaque"
}
shows_overlay() {  # FRAME PICTURE: at most 5% of its opaque pixels missing
    read -r misses opaque < <(overlay_misses "$1" "$2")
    echo "  $(basename "$2"): $misses of $opaque opaque pixels not shown"
    [ "$opaque" -gt 0 ] && [ $((misses * 20)) -le "$opaque" ]
}
lacks_overlay() {  # FRAME PICTURE: more than half of its opaque pixels missing
    read -r misses opaque < <(overlay_misses "$1" "$2")
    [ $((misses * 2)) -gt "$opaque" ]
}

# make_game_folder: $WORK/game, a copy of the pictures to start the game in;
# and, for sanitizer builds, what the system's libraries keep is theirs to free.
make_game_folder() {
    export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(realpath "$SRC")/tests/e2e/lsan.supp:fast_unwind_on_malloc=0"
    mkdir -p "$WORK/game"
    cp -r "$SRC/bmp" "$WORK/game/bmp"
}

# wait_for_window [TITLE [TENTHS]]: the game's window (kawauo) or another,
# waited for 15 s unless told; sets WID.
wait_for_window() {
    for _ in $(seq "${2:-150}"); do
        WID=$(xdotool search --name "^${1:-kawauo}\$" 2>/dev/null | head -n1)
        [ -n "$WID" ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
# wait_for COMMAND...: COMMAND polled until it holds (a minute at most, the
# game's progress being what it waits for), and once more when the game ends.
wait_for() {
    for _ in $(seq 1200); do
        "$@" && return 0
        if [ -n "$GAME_PID" ] && ! kill -0 "$GAME_PID" 2>/dev/null; then
            "$@"
            return
        fi
        sleep 0.05
    done
    return 1
}
# The lines and frames of the recording so far.
progress_lines() { local n; n=$(wc -l <"$PROGRESS" 2>/dev/null); echo "${n:-0}"; }
# heard FROM WAY NAME FRAMES: past line FROM, the recording has the first
# "WAY NAME" (down SPACE, up RIGHT, activate 1) and FRAMES frames after it;
# with WAY -, FRAMES frames past FROM.
heard() {
    awk -v from="$1" -v way="$2" -v key="$3" -v want="$4" '
        NR <= from { next }
        way == "-" || (!seen && $1 == way && $2 == key) { seen = 1; if (way != "-") next }
        seen && $1 == "frame" { n++ }
        END { exit !(seen && n >= want) }' "$PROGRESS" 2>/dev/null
}
# wait_frames N: until the game has ended N more frames.
wait_frames() { wait_for heard "$(progress_lines)" - - "$1"; }
# The game's name of an X key as its recording writes it, the keys as the
# game binds them unless the settings say otherwise.
game_key() {
    case $1 in
        space) echo SPACE ;;
        Tab) echo TAB ;;
        Escape) echo ESCAPE ;;
        Left | a) echo LEFT ;;
        Up | w) echo UP ;;
        Right | d) echo RIGHT ;;
        Down | s) echo DOWN ;;
        F1 | F2 | F3) echo "$1" ;;
        *) echo - ;;
    esac
}
# The game has the focus: the last activate line it heard says 1, and it
# has ended a frame since.
has_focus() {
    awk '$1 == "activate" { on = $2; n = 0 } $1 == "frame" { n++ } END { exit !(on == 1 && n >= 1) }' \
        "$PROGRESS" 2>/dev/null
}
# A bare Xvfb has no window manager: SDL takes keys once the pointer is in.
focus() {
    xdotool mousemove --window "$WID" 20 20
    xdotool windowfocus "$WID" 2>/dev/null
    [ -z "$PROGRESS" ] || wait_for has_focus
}
window_size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
# press KEY [FRAMES [NAME]]: held until the game has heard it down and ended
# FRAMES frames (4 unless told), as it looks at its keys once a frame; then
# released until it has heard it up and ended a frame. NAME is the game's
# key the recording shows (game_key unless told); - for a key the game is
# not to hear, held and released for FRAMES frames of the game's.
press() {
    local key=$1 frames=${2:-4} name=${3:-$(game_key "$1")} from
    from=$(progress_lines)
    xdotool keydown "$key"
    if [ "$name" = - ]; then wait_frames "$frames"; else wait_for heard "$from" down "$name" "$frames"; fi ||
        echo "press: the game did not hear $key down" >&2
    from=$(progress_lines)
    xdotool keyup "$key"
    if [ "$name" = - ]; then wait_frames "$frames"; else wait_for heard "$from" up "$name" 1; fi ||
        echo "press: the game did not hear $key up" >&2
}
# hold_until_gone KEY: KEY held until the game has ended (a minute at most),
# however late its frames come.
game_gone() { ! kill -0 "$GAME_PID" 2>/dev/null; }
hold_until_gone() {
    xdotool keydown "$1"
    wait_for game_gone
    xdotool keyup "$1"
}
# record_progress ARGS...: the arguments of a start, with a recording of the
# run's own where they name none; sets PROGRESS to its part (relative names
# are the game's working folder's, the caller's). A show (--play) records
# nothing: its caller waits on its trace.
record_progress() {
    PROGRESS=
    START_ARGS=("$@")
    local i
    for ((i = 0; i < ${#START_ARGS[@]}; i++)); do
        [ "${START_ARGS[i]}" = --play ] && return
        [ "${START_ARGS[i]}" = --record ] && PROGRESS=${START_ARGS[i + 1]}.part
    done
    [ -n "$PROGRESS" ] && return
    PROGRESS_RUNS=$((PROGRESS_RUNS + 1))
    PROGRESS=$WORK/progress-$PROGRESS_RUNS.rec.part
    START_ARGS+=(--record "${PROGRESS%.part}")
}
# start_game STDERR ARGS...: $KAWAUO started with ARGS (and a recording of
# its progress), its window found and focused; without a window the script
# ends, showing what the game said.
start_game() {
    local log=$1
    shift
    record_progress "$@"
    "$KAWAUO" "${START_ARGS[@]}" 2>"$log" &
    GAME_PID=$!
    wait_for_window || { echo "FAIL: no window"; cat "$log"; exit 1; }
    focus
}
# The first picture shown (slow to come in sanitizer builds): the screen is
# no longer all black. Keys pressed before it may be gone by the first frame.
drawn() {
    for _ in $(seq 100); do
        import -window root -silent "$WORK/root.png" 2>/dev/null &&
            [ "$(convert "$WORK/root.png" -format '%[max]' info:)" != 0 ] && return 0
        sleep 0.2
    done
    return 1
}
start_drawn() {  # start_drawn STDERR ARGS...: start_game, then the title waited for
    start_game "$@"
    drawn || { echo "FAIL: nothing drawn"; cat "$1"; exit 1; }
    wait_frames 1
}
wait_game() {  # wait_game SECONDS: the game's exit status, or 124 if it still runs
    for _ in $(seq $(($1 * 10))); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$GAME_PID" 2>/dev/null; then return 124; fi
    wait "$GAME_PID"
}
# Polls a check up to N times, a shot each time.
eventually() {  # eventually N COMMAND ARGS... (COMMAND gets the shot before ARGS)
    local n=$1 command=$2
    shift 2
    for _ in $(seq "$n"); do
        shot "$WORK/now.png"
        "$command" "$WORK/now.png" "$@" && return 0
        sleep 0.3
    done
    return 1
}
