#!/bin/bash
# kawauo-sim.exe under Wine against the Linux kawauo-sim: the same scripts
# must give the same exit status, byte-identical traces (with the draw log)
# and byte-identical shots; the kept runs the same links, and their links
# the same traces as the recordings.
#   sim_wine.sh KAWAUO_SIM_EXE KAWAUO_SIM SOURCE_DIR
# Wine must be ready (WINEPREFIX, WINEDEBUG) in the caller's environment.
set -u

SIM_EXE=$(realpath "$1")
SIM=$(realpath "$2")
SRC=$(realpath "$3")

source "$SRC/scripts/checks.sh"

# The game's folders: all pictures, and one with the fish missing.
mkdir -p "$WORK/full" "$WORK/missing"
cp -r "$SRC/bmp" "$WORK/full/bmp"
cp -r "$SRC/bmp" "$WORK/missing/bmp"
rm "$WORK/missing/bmp/fish1.bmp"

# run_both NAME FOLDER SCRIPT: both programs in FOLDER, their results side by side.
run_both() {
    local name=$1 folder=$2 script=$3 side
    for side in linux windows; do
        mkdir -p "$WORK/$name-$side/shots"
        local program=("$SIM")
        [ "$side" = windows ] && program=(wine "$SIM_EXE")
        (cd "$folder" && "${program[@]}" --draws --trace "$WORK/$name-$side/trace.jsonl" \
            --shots "$WORK/$name-$side/shots" "$script" 2>/dev/null)
        echo $? >"$WORK/$name-$side/status"
    done
    local a=$WORK/$name-linux b=$WORK/$name-windows
    if cmp -s "$a/status" "$b/status"; then pass "$name: exit status $(cat "$a/status") on both"
    else fail "$name: exit status $(cat "$a/status") on Linux, $(cat "$b/status") under Wine"; fi
    if [ -s "$a/trace.jsonl" ] && cmp -s "$a/trace.jsonl" "$b/trace.jsonl"; then
        pass "$name: identical traces ($(wc -l <"$a/trace.jsonl") lines)"
    else
        fail "$name: traces differ"
        diff <(head -c 2000 "$a/trace.jsonl") <(head -c 2000 "$b/trace.jsonl") | head -n 6
    fi
    if diff -r "$a/shots" "$b/shots" >/dev/null; then pass "$name: identical shots ($(ls "$a/shots" | wc -l))"
    else fail "$name: shots differ"; fi
}

run_both screens "$WORK/full" "$SRC/docs/screens/screens.sim"
run_both moves "$WORK/full" "$SRC/tests/e2e/windows/moves.sim"
run_both broken "$WORK/full" "$SRC/tests/e2e/windows/broken.sim"
run_both missing "$WORK/missing" "$SRC/docs/screens/screens.sim"
# The kept runs through their links: kawauo-sim.exe makes Linux's link of
# each, plays the link to Linux's trace of the recording, and gives the
# recording back byte for byte.
for rec in "$SRC"/tests/replays/*.rec; do
    name=$(basename "$rec" .rec)
    linux=$("$SIM" --link "$rec")
    windows=$(wine "$SIM_EXE" --link "$rec" 2>/dev/null | tr -d '\r')
    if [ -n "$linux" ] && [ "$linux" = "$windows" ]; then pass "$name: the same link on both (${#linux} characters)"
    else fail "$name: the links differ"; fi
    (cd "$WORK/full" && "$SIM" --draws --trace "$WORK/$name-file.jsonl" "$rec" 2>/dev/null)
    (cd "$WORK/full" && wine "$SIM_EXE" --draws --trace "$WORK/$name-link.jsonl" "$linux" 2>/dev/null)
    if [ -s "$WORK/$name-file.jsonl" ] && cmp -s "$WORK/$name-file.jsonl" "$WORK/$name-link.jsonl"; then
        pass "$name: the link under Wine gives the recording's trace ($(wc -l <"$WORK/$name-file.jsonl") lines)"
    else
        fail "$name: the link's trace under Wine differs"
    fi
    wine "$SIM_EXE" --recording "$linux" >"$WORK/$name-back.rec" 2>/dev/null
    if cmp -s "$rec" "$WORK/$name-back.rec"; then pass "$name: the link gives the recording back under Wine"
    else fail "$name: the recording from the link differs under Wine"; fi
done

# The missing picture's box, in Japanese, decoded the same on both.
if grep -q '"caption":"サーフェス・生成エラー!!"' "$WORK/missing-windows/trace.jsonl"; then
    pass "missing: the creation-error box in Japanese"
else
    fail "missing: no creation-error box in the trace"
fi

exit $((FAILURES > 0))
