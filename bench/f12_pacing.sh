#!/bin/bash
# The frame pacing around screenshots: the game on a virtual X display, in
# play, with F12 pressed once a second for SECONDS, then as long without,
# while KAWAUO_FRAME_STATS reports the present intervals every 10 s (the
# mean, the 99th percentile and the longest). The pictures go to a folder
# of the run's; the share of a core the game used is printed for each half.
#   bench/f12_pacing.sh KAWAUO [SECONDS]   (SECONDS 20 unless told)
set -u
KAWAUO=$(realpath "$1")
SECONDS_RUN=${2:-20}
SRC=$(dirname "$(realpath "$0")")/..
source "$SRC/scripts/checks.sh"
need_tools Xvfb xdotool xwininfo import convert
source "$SRC/scripts/xvfb.sh"
start_xvfb 1280x1024 /dev/null || { echo "Xvfb did not start" >&2; exit 1; }
source "$SRC/scripts/game_window.sh"
make_game_folder
export KAWAUO_FRAME_STATS=1 XDG_PICTURES_DIR=$WORK/pictures XDG_CONFIG_HOME=$WORK/config
cd "$WORK/game"

ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
reports() { grep -c 'frame pacing' "$WORK/game.err"; }
reported() { [ "$(reports)" -ge "$1" ]; }
# span LABEL F12?: SECONDS of play, F12 pressed once a second or not, then
# the reports made meanwhile (the first one after the span began is left
# out, as it holds frames from before).
span() {
    local from t0 s0 t1 s1
    from=$(reports)
    t0=$(ticks) s0=$(date +%s.%N)
    for _ in $(seq "$SECONDS_RUN"); do
        [ "$2" = yes ] && xdotool key F12
        sleep 1
    done
    wait_for reported $((from + 1 + SECONDS_RUN / 10))
    t1=$(ticks) s1=$(date +%s.%N)
    awk -v g=$((t1 - t0)) -v s0="$s0" -v s1="$s1" -v hz="$(getconf CLK_TCK)" -v label="$1" \
        'BEGIN { printf "%s: the game %.1f%% of a core\n", label, 100 * g / hz / (s1 - s0) }'
    grep 'frame pacing' "$WORK/game.err" | sed -n "$((from + 2)),$((from + 1 + SECONDS_RUN / 10))p" | sed 's/^/    /'
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
start_drawn "$WORK/game.err"
press space
span "F12 once a second" yes
span "no F12" no
hold_until_gone Escape
echo "screenshots written: $(find "$WORK/pictures" -name '*.png' | wc -l)"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
