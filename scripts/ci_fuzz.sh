#!/usr/bin/env bash
# CI stage for the libFuzzer targets: builds the fuzz preset, runs every seed
# once through each target (ctest), then each target for a minute from its
# seeds and what it kept last time (build-fuzz/corpus/NAME), two at a time,
# one a core. A crash, a broken rule, a leak or an input slower than 10 s
# fails the stage and leaves the input in build-fuzz/crashes; each target's
# log is build-fuzz/NAME.log. The targets and their seeds are the build's
# list (tests/fuzz/CMakeLists.txt).
#   scripts/ci_fuzz.sh            every target
#   scripts/ci_fuzz.sh NAME...    only these
# KAWAUO_FUZZ_SECONDS sets how long each target runs (60).
set -euo pipefail
cd "$(dirname "$0")/.."
readonly SECONDS_EACH=${KAWAUO_FUZZ_SECONDS:-60}
readonly LIST=build-fuzz/tests/fuzz/fuzzers.list
readonly AT_ONCE=2

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
mkdir -p build-fuzz/crashes

# fuzz NAME SEEDS: one target for the time given; its status is libFuzzer's.
fuzz() {
    local name=$1 seeds=$2
    mkdir -p "build-fuzz/corpus/$name"
    "build-fuzz/tests/fuzz/$name" -max_total_time="$SECONDS_EACH" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/crashes/$name-" "build-fuzz/corpus/$name" "$seeds" \
        </dev/null >"build-fuzz/$name.log" 2>&1
}

# What a failed target's log says went wrong.
why() {
    local log=$1
    if grep -q 'ERROR: libFuzzer: timeout' "$log"; then
        echo "an input ran longer than 10 s"
    elif grep -q 'ERROR: LeakSanitizer' "$log"; then
        echo "a leak"
    elif grep -q 'ERROR: libFuzzer: out-of-memory' "$log"; then
        echo "an input took too much memory"
    else
        echo "a crash"
    fi
}

final_stat() { grep -m1 "^stat::$1:" "$2" | awk '{print $2}'; }

declare -A running=()  # pid -> target
passed=0
failed=0

# Waits for one running target and says how it went.
finish_one() {
    local pid status=0 name log
    wait -n -p pid "${!running[@]}" || status=$?
    name=${running[$pid]}
    unset "running[$pid]"
    log=build-fuzz/$name.log
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "$name: $(final_stat number_of_executed_units "$log") runs, $(final_stat average_exec_per_sec "$log") a second"
    else
        failed=$((failed + 1))
        tail -n 60 "$log"
        echo "$name failed ($(why "$log")): $log, build-fuzz/crashes/$name-*" >&2
    fi
}

wanted() { [ $# -eq 1 ] || [[ " ${*:2} " == *" $1 "* ]]; }

while read -r name seeds; do
    wanted "$name" "$@" || continue
    [ "${#running[@]}" -lt "$AT_ONCE" ] || finish_one
    fuzz "$name" "$seeds" &
    running[$!]=$name
done <"$LIST"
while [ "${#running[@]}" -gt 0 ]; do finish_one; done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
