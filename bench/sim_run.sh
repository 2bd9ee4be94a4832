#!/bin/sh
# kawauo-sim over a long scripted run (frames per second, traces to
# /dev/null, drawing on), and over a one-frame script (start-up to the first
# frame and peak memory, from /usr/bin/time).
# Usage: bench/sim_run.sh BUILD_DIR [FRAMES]
set -eu
build=${1:?usage: bench/sim_run.sh BUILD_DIR [FRAMES]}
frames=${2:-20000}
sim="$(cd "$build" && pwd)/kawauo-sim"
cd "$(dirname "$0")/.."   # the game reads ./bmp
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Title, a new game, then play with every move and the arrows, round and
# round. Two presses of SPACE a round pause and resume play, or, once a run
# has ended, lead through the title into a new one: the run stays in play.
{
    echo "seed 1"
    echo "frames 3"; echo "down SPACE"; echo "frames 1"; echo "up SPACE"; echo "frames 2"
    n=6
    while [ "$n" -lt "$frames" ]; do
        for key in F1 F2 F3 RIGHT UP LEFT DOWN; do
            echo "down $key"; echo "frames 20"; echo "up $key"; echo "frames 10"
            n=$((n + 30))
        done
        for press in 1 2; do
            echo "down SPACE"; echo "frames 1"; echo "up SPACE"; echo "frames 1"
            n=$((n + 2))
        done
    done
} > "$work/long.txt"
printf 'seed 1\nframes 1\n' > "$work/one.txt"

start=$(date +%s.%N)
"$sim" "$work/long.txt" >/dev/null
end=$(date +%s.%N)
awk -v start="$start" -v end="$end" '/^frames/ { n += $2 }
    END { printf "long run: %d frames in %.2f s: %.0f frames/s\n", n, end - start, n / (end - start) }' "$work/long.txt"

/usr/bin/time -v "$sim" "$work/one.txt" >/dev/null 2> "$work/time.txt"
grep -E 'Elapsed|Maximum resident' "$work/time.txt" | sed 's/^[[:space:]]*/one frame: /'
/usr/bin/time -v "$sim" "$work/long.txt" >/dev/null 2> "$work/time.txt"
grep -E 'Maximum resident' "$work/time.txt" | sed 's/^[[:space:]]*/long run: /'
