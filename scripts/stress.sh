#!/usr/bin/env bash
# The checks that depend on timing, run again and again on a busy machine:
# the real-window suite (ctest's e2e label), the Windows suite under Wine
# and the page's suite in Chromium, each N times while stress-ng keeps every
# core busy. Each failure is reported with its log; not part of ./test.sh.
#   scripts/stress.sh [-n N] [-c WORKERS] [window] [wine] [web]
# N is 10 and WORKERS (stress-ng --cpu) 4 unless told; with no suite named,
# all three run. Logs go to build-stress/, one a run; the summary gives the
# runs, the failures and the time each suite took.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

RUNS=10
WORKERS=4
while getopts n:c: option; do
    case $option in
        n) RUNS=$OPTARG ;;
        c) WORKERS=$OPTARG ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
SUITES=("$@")
[ ${#SUITES[@]} -gt 0 ] || SUITES=(window wine web)
ensure_packages stress-ng

LOGS=$PWD/build-stress
rm -rf "$LOGS"
mkdir -p "$LOGS"

# Each suite built once, quietly, before the machine is loaded.
for suite in "${SUITES[@]}"; do
    case $suite in
        window) cmake --preset ci >/dev/null && cmake --build --preset ci >"$LOGS/build-ci.log" 2>&1 ;;
        wine | web) ;;  # their stage scripts build what they need, and nothing when it is built
        *) echo "stress: unknown suite $suite (window, wine or web)" >&2; exit 2 ;;
    esac || { echo "stress: the build failed: $LOGS/build-ci.log" >&2; exit 1; }
done

run_suite() {  # run_suite SUITE LOG: one run, its status
    case $1 in
        window) ctest --preset ci -L e2e --output-on-failure >"$2" 2>&1 ;;
        wine) scripts/ci_windows.sh >"$2" 2>&1 ;;
        web) scripts/ci_web.sh >"$2" 2>&1 ;;
    esac
}

STRESS_PID=
trap '[ -n "$STRESS_PID" ] && kill "$STRESS_PID" 2>/dev/null; wait' EXIT
stress-ng --cpu "$WORKERS" --timeout 0 --quiet &
STRESS_PID=$!

FAILED=0
SUMMARY=()
for suite in "${SUITES[@]}"; do
    failures=0
    started=$(date +%s)
    for run in $(seq "$RUNS"); do
        log=$LOGS/$suite-$run.log
        if run_suite "$suite" "$log"; then
            echo "stress: $suite run $run of $RUNS passed (load $(cut -d' ' -f1 /proc/loadavg))"
            continue
        fi
        failures=$((failures + 1))
        echo "stress: $suite run $run of $RUNS FAILED: $log"
        grep -E '^FAIL|Failed|FAILED|\*\*\*|not ok|Error' "$log" | head -20 | sed 's/^/    /'
    done
    minutes=$((($(date +%s) - started + 30) / 60))
    SUMMARY+=("$suite: $((RUNS - failures)) of $RUNS runs passed in $minutes min")
    FAILED=$((FAILED + failures))
done
printf 'stress: %s\n' "${SUMMARY[@]}"
echo "stress: stress-ng --cpu $WORKERS on $(nproc) cores; logs in $LOGS"
[ "$FAILED" -eq 0 ]
