#!/bin/bash
# kawauo.exe under Wine on a 1920x1080 virtual display, full screen, played
# for a while with --scale fit and with --scale integer, in turns: the game's
# processor time a frame (its process's, from /proc, over the frames its
# KAWAUO_FRAME_STATS reports count), the frame pacing, and the share of a
# core Xvfb took, with the machine's load.
#   bench/wine_fit.sh GAME_FOLDER [SECONDS] [ROUNDS]   (GAME_FOLDER holds
#   kawauo.exe and bmp\, as the unpacked zip does)
set -u
GAME=$(realpath "$1")
SECONDS_RUN=${2:-20}
ROUNDS=${3:-2}
SRC=$(dirname "$(realpath "$0")")/..
source "$SRC/scripts/checks.sh"
CLEANUP_MORE="wineserver -k"
export WINEPREFIX=$WORK/wineprefix WINEDEBUG=-all
wineboot -i >/dev/null 2>&1
wineserver -w
source "$SRC/scripts/xvfb.sh"
start_xvfb 1920x1080 /dev/null || { echo "Xvfb did not start" >&2; exit 1; }
source "$SRC/scripts/game_window.sh"

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)

# One run: the game started in play, measured over SECONDS_RUN after its
# first frame pacing report (so that the start is left out).
run() {
    local scale=$1 log=$WORK/$1.err
    (cd "$GAME" && KAWAUO_FRAME_STATS=1 exec wine ./kawauo.exe --scale "$scale") 2>"$log" &
    GAME_PID=$!
    wait_for_window kawauo 300 || { echo "no window ($scale)"; cat "$log"; return 1; }
    xdotool windowfocus "$WID" 2>/dev/null
    xdotool key space  # play starts; the reports below are what is waited on
    local reports
    reports() { grep -c 'frame pacing' "$log"; }
    while [ "$(reports)" -lt 1 ]; do sleep 0.2; done
    local first g0 x0 t0 g1 x1 t1 presents
    first=$(reports)
    g0=$(ticks "$GAME_PID") x0=$(ticks "$XVFB_PID") t0=$(date +%s.%N)
    while [ "$(reports)" -lt $((first + SECONDS_RUN / 10)) ]; do sleep 0.2; done
    g1=$(ticks "$GAME_PID") x1=$(ticks "$XVFB_PID") t1=$(date +%s.%N)
    presents=$(grep 'frame pacing' "$log" | tail -n $((SECONDS_RUN / 10)) |
        awk '{ for (i = 1; i < NF; ++i) if ($(i + 1) == "presents,") n += $i } END { print n }')
    awk -v g=$((g1 - g0)) -v x=$((x1 - x0)) -v n="$presents" -v t0="$t0" -v t1="$t1" -v hz="$hz" -v scale="$scale" \
        'BEGIN { printf "%-8s %.2f ms of processor a frame (%d frames), Xvfb %.1f%% of a core\n",
                 scale, 1000 * g / hz / n, n, 100 * x / hz / (t1 - t0) }'
    grep 'frame pacing' "$log" | tail -n 1 | sed 's/^/         /'
    xdotool windowfocus "$WID" 2>/dev/null
    xdotool key Escape
    wait_game 10 >/dev/null
    GAME_PID=
    wineserver -w
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq "$ROUNDS"); do
    run fit
    run integer
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
