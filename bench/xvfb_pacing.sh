#!/bin/bash
# The game's title screen on a virtual X display for a while: the present
# intervals it logs (KAWAUO_FRAME_STATS) and the share of a core it used.
#   bench/xvfb_pacing.sh KAWAUO [SECONDS]   (environment passes through,
#   e.g. SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0)
set -eu
KAWAUO=$(realpath "$1")
SECONDS_RUN=${2:-12}
SRC=$(dirname "$(realpath "$0")")/..
source "$SRC/scripts/checks.sh"

source "$SRC/scripts/xvfb.sh"
start_xvfb 1280x1024 /dev/null || { echo "Xvfb did not start" >&2; exit 1; }
cp -r "$SRC/bmp" "$WORK/bmp"
(cd "$WORK" && KAWAUO_FRAME_STATS=1 exec "$KAWAUO") 2>"$WORK/game.err" &
GAME_PID=$!
sleep 2  # past the start-up
ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
xvfb_ticks() { awk '{ print $14 + $15 }' "/proc/$XVFB_PID/stat"; }
t0=$(ticks) x0=$(xvfb_ticks) s0=$(date +%s.%N)
sleep "$SECONDS_RUN"
t1=$(ticks) x1=$(xvfb_ticks) s1=$(date +%s.%N)
hz=$(getconf CLK_TCK)
awk -v g=$((t1 - t0)) -v x=$((x1 - x0)) -v s0="$s0" -v s1="$s1" -v hz="$hz" \
    'BEGIN { printf "cpu: game %.1f%% of a core, Xvfb %.1f%%\n", 100 * g / hz / (s1 - s0), 100 * x / hz / (s1 - s0) }'
grep -E 'frame pacing|present' "$WORK/game.err" || true
