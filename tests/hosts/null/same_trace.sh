#!/bin/sh
# The null driver plays the committed scripts and recordings to kawauo-sim's
# traces, draws and shots byte for byte: a driver that fills the least of
# the table runs the game through the core as the headless one does.
#   same_trace.sh KAWAUO_NULL KAWAUO_SIM SOURCE_DIR
set -u
null=$1 sim=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$source" || exit 1
failed=0
for script in tests/replays/*.rec tests/e2e/web/agreement.sim tests/e2e/windows/moves.sim; do
    name=$(basename "$script")
    mkdir -p "$work/sim-$name" "$work/null-$name"
    "$sim" --draws --shots "$work/sim-$name" --trace "$work/sim-$name.jsonl" "$script" 2>"$work/sim.err"
    sim_status=$?
    "$null" --draws --shots "$work/null-$name" --trace "$work/null-$name.jsonl" "$script" 2>"$work/null.err"
    null_status=$?
    if [ "$sim_status" -ne "$null_status" ]; then
        echo "FAIL: $name: kawauo-null ends with $null_status, kawauo-sim with $sim_status"
        failed=1
    elif ! cmp "$work/sim-$name.jsonl" "$work/null-$name.jsonl"; then
        echo "FAIL: $name: the traces differ"
        failed=1
    elif ! diff -r "$work/sim-$name" "$work/null-$name" >/dev/null; then
        echo "FAIL: $name: the shots differ"
        failed=1
    else
        echo "ok: $name: $(grep -c '^{"frame"' "$work/sim-$name.jsonl") frames alike, status $sim_status"
    fi
done
exit $failed
