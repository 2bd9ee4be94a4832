#!/bin/bash
# Plays the kept runs again in the real window on a virtual X display, keys
# sent by xdotool, and writes each as a recording into tests/replays (the
# game's version is in their first line: a new version needs them made again).
#   tests/replays/record_runs.sh KAWAUO
# Their result-screen figures (*.result) come from replaying them:
#   kawauo-sim --draws RECORDING, the texts of the last result frame.
set -eu
KAWAUO=$(realpath "$1")
HERE=$(dirname "$(realpath "$0")")
source "$HERE/../../scripts/xvfb.sh"
source "$HERE/../../scripts/game_window.sh"
WORK=$(mktemp -d)
# A settings folder of its own: the player's settings neither used nor touched.
export XDG_CONFIG_HOME=$WORK/config
start_xvfb 1280x1024 "$WORK/xvfb.log"
trap 'kill $XVFB_PID; rm -rf "$WORK"' EXIT
cp -r "$HERE/../../bmp" "$WORK/bmp"
cd "$WORK"

press() { xdotool keydown "$1"; sleep "${2:-0.25}"; xdotool keyup "$1"; sleep 0.3; }

record() {  # record NAME: plays the function play_NAME
    "$KAWAUO" --record "$HERE/$1.rec" &
    GAME_PID=$!
    wait_for_window
    focus
    sleep 0.5
    "play_$1"
    xdotool key Escape
    wait "$GAME_PID"
}

# Start, a little swimming with two moves, a pause, and a retire.
play_retire() {
    press space; sleep 0.5
    press Right 0.8; press F1; press Up 0.5; press F2
    press space; sleep 1; press space
    press Down 0.3; press Tab; sleep 1.5
}

# Swim about with all three moves until the fish is spent (about 15 s).
play_spent() {
    press space; sleep 0.3
    for _ in 1 2 3; do press Right 0.4; press F3; press Up 0.3; press F2; press Left 0.3; press F1; press Down 0.3; done
    sleep 12
}

# A retire at once, back to the title, and a second run retired later.
play_twice() {
    press space; sleep 0.3; press Tab; sleep 1; press space; sleep 1
    press space; sleep 0.3; press Up 1.2; press F3; sleep 2; press Tab; sleep 1.5
}

for name in retire spent twice; do record "$name"; done
