# The real game's window on a virtual X display, found, driven and read back
# from screenshots: sourced by the e2e test and the package stage. The caller
# sets WORK (a scratch folder), SCALE, PIC_X and PIC_Y (where the 640x480
# picture shows on the screen, at what size), GAME_PID (the game) and gets
# WID (its window).

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
# A bare Xvfb has no window manager: SDL takes keys once the pointer is in.
focus() { xdotool mousemove --window "$WID" 20 20; xdotool windowfocus "$WID" 2>/dev/null; sleep 0.2; }
window_size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
# press KEY [SECONDS]: held across several frames, as the game looks at its
# keys once a frame.
press() { xdotool keydown "$1"; sleep "${2:-0.25}"; xdotool keyup "$1"; sleep 0.4; }
# start_game STDERR ARGS...: $KAWAUO started with ARGS, its window found and
# focused; without a window the script ends, showing what the game said.
start_game() {
    local log=$1
    shift
    "$KAWAUO" "$@" 2>"$log" &
    GAME_PID=$!
    wait_for_window || { echo "FAIL: no window"; cat "$log"; exit 1; }
    sleep 0.5
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
