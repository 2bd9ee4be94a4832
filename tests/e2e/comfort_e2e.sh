#!/bin/bash
# The players' comforts in the real window on a virtual X display: --help
# opens no window, and fails when it cannot be written; a refused option is
# one line; the settings file remembers Alt+Enter and the window's size
# across starts, rebinds a key, and keeps a line it cannot read as it is
# while the rest of the file applies; WASD moves the fish as the arrows do;
# F12 saves the very picture kawauo-sim shows for that frame; on a 1366x768
# screen the picture fills the height, 1024x768, centred.
#   comfort_e2e.sh KAWAUO KAWAUO_SIM SOURCE_DIR
# KAWAUO_E2E_KEEP=DIR keeps the shots, recordings and logs.
set -u

KAWAUO=$(realpath "$1")
SIM=$(realpath "$2")
SRC=$3

source "$SRC/scripts/checks.sh"
need_tools Xvfb xdotool xwininfo import convert compare jq

source "$SRC/scripts/xvfb.sh"
source "$SRC/scripts/game_window.sh"
export XDG_PICTURES_DIR=$WORK/pictures
SETTINGS=$XDG_CONFIG_HOME/kawauo/settings
make_game_folder
cd "$WORK/game" || exit 1

# The window's size once the host has set it: "WxH", or what it is when
# waiting gives up.
sized() { [ "$(window_size "$WID")" = "$1" ]; }
size_becomes() {
    wait_for sized "$1"
    window_size "$WID"
}
# The settings file holds LINE: the game has saved it.
saved() { grep -qx "$1" "$SETTINGS" 2>/dev/null; }
end_game() {  # end_game KEY: the game's exit status in `status`
    hold_until_gone "$1"
    wait_game 10
    status=$?
    GAME_PID=
}

start_xvfb 1280x1024 "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1; }

# ---------------------------------------------------------------- --help
# Without a display, any window would fail: a clean exit means none was tried.
env -u DISPLAY SDL_VIDEODRIVER=x11 "$KAWAUO" --help >help.out 2>help.err &
GAME_PID=$!
wait_game 10
status=$?
GAME_PID=
check "--help exits 0 without a window (got $status)" test "$status" -eq 0
check "--help prints the usage" grep -q '^usage: kawauo' help.out
# An answer that cannot be written fails; a refused command line is told in
# one line, not the whole usage.
timeout 10 env -u DISPLAY "$KAWAUO" --help >/dev/full 2>full.err
status=$?
check "--help to a full disk exits 1 (got $status)" test "$status" -eq 1
check "and says why" grep -qx 'kawauo: cannot write the usage: No space left on device' full.err
timeout 10 env -u DISPLAY "$KAWAUO" --version >/dev/full 2>/dev/null
status=$?
check "as --version does (got $status)" test "$status" -eq 1
timeout 10 "$SIM" --help >/dev/full 2>/dev/null
status=$?
check "as kawauo-sim --help does (got $status)" test "$status" -eq 1
timeout 10 env -u DISPLAY "$KAWAUO" --x >bad.out 2>bad.err
status=$?
check "an unknown option exits 2 (got $status)" test "$status" -eq 2
check "with one line on standard error ($(head -c 200 bad.err))" \
    test "$(cat bad.err)" = "kawauo: unknown option --x; try --help" -a ! -s bad.out

# ---------------------------------------------------------------- settings across starts
start_drawn first.err
end_game Escape
check "nothing changed, so no settings file yet" test ! -e "$SETTINGS"
start_drawn first.err
xdotool key alt+Return
wait_for saved 'fullscreen = no'
end_game Escape
check "Alt+Enter is remembered in the settings file" grep -qx 'fullscreen = no' "$SETTINGS"
start_drawn second.err
size=$(size_becomes 1280x960)
check "the second start opens a window ($size)" test "$size" = 1280x960
xdotool windowsize "$WID" 800 600
wait_for saved 'window = 800x600'
check "a window resized by the player is remembered once it rests" grep -qx 'window = 800x600' "$SETTINGS"
end_game Escape
start_drawn third.err
size=$(size_becomes 800x600)
check "and opens at that size the next time ($size)" test "$size" = 800x600
end_game Escape
start_drawn cli.err --fullscreen
size=$(size_becomes 1280x1024)
check "--fullscreen wins over the settings for a run ($size)" test "$size" = 1280x1024
end_game Escape
check "and is not written back" grep -qx 'fullscreen = no' "$SETTINGS"

echo 'key.escape = Q' >>"$SETTINGS"
start_drawn bound.err
end_game q
check "a key bound in the settings ends the game (Q for ESC, status $status)" test "$status" -eq 0

# The language from the settings, and the command line's over it; the
# trace holds the texts drawn.
echo 'lang = en' >>"$SETTINGS"
for lang in settings ja; do
    start_drawn lang.err --trace "$lang.jsonl" $([ "$lang" = ja ] && echo --lang ja)
    press space
    wait_frames 30
    end_game q
done
check "lang = en in the settings shows the English HUD" grep -q 'ESC/Quit:TAB/Retire' settings.jsonl
check "--lang ja wins over it for a run" bash -c "! grep -q 'ESC/Quit:TAB/Retire' ja.jsonl && grep -q '\"text\"' ja.jsonl"

echo 'scale = blurry' >>"$SETTINGS"
cp "$SETTINGS" broken.before
start_drawn broken.err
check "a malformed line is told with its place" grep -q "^$SETTINGS:[0-9]*: 'blurry' is not fit or integer" broken.err
size=$(size_becomes 800x600)
check "and costs only itself: the window as saved ($size)" test "$size" = 800x600
xdotool key alt+Return
wait_frames 2
end_game q
changed=$(diff broken.before "$SETTINGS" | grep '^[<>]' | tr '\n' ' ')
check "Alt+Enter writes only its own line, the malformed one kept ($changed)" \
    test "$changed" = "< fullscreen = no > fullscreen = yes "
rm "$SETTINGS"

# ---------------------------------------------------------------- WASD as the arrows
# Each arrow and each letter, every one moving the fish back from where the
# one before took it: the recording shows which game key each became, the
# trace how the fish moved while it was held. Each is held for 8 of the
# game's frames: held for a fifth of a second by the clock, down and up
# once fell between two frames of a busy machine, and the fish never moved.
# The fish steps by the game's clock, not by frames, so a slow frame takes
# it further: each key moves it away from the edge it stands at (it starts
# at the bottom left), never into an edge where it cannot move.
start_drawn keys.err --record keys.rec --trace keys.jsonl
press space
wait_frames 10
for key in Right Left d a Up Down w s; do press "$key" 8; done
end_game Escape
arrows=$(awk '$1 == "down" && $2 ~ /^(LEFT|UP|RIGHT|DOWN)$/ { printf "%s ", $2 }' keys.rec)
check "WASD reach the game as its arrows ($arrows)" test "$arrows" = "RIGHT LEFT RIGHT LEFT UP DOWN UP DOWN "
jq -r 'select(.frame != null) | "\(.fish[6]) \(.fish[10])"' keys.jsonl >positions
ways=$(awk 'NR == FNR { x[FNR] = $1; y[FNR] = $2; next }
            /^frame / { n++ }
            $1 == "down" { from = n + 1 }
            $1 == "up" && $2 ~ /^(LEFT|UP|RIGHT|DOWN)$/ {
                dx = x[n + 1] - x[from]; dy = y[n + 1] - y[from]
                printf "%d,%d ", (dx > 0) - (dx < 0), (dy > 0) - (dy < 0)
            }' positions keys.rec)
check "each letter moved the fish as its arrow did ($ways)" test "$ways" = "1,0 -1,0 1,0 -1,0 0,-1 0,1 0,-1 0,1 "

# ---------------------------------------------------------------- F12 against the sim
start_drawn shot.err --record shot.rec
wait_frames 30
xdotool key F12
told() { grep -q '^kawauo: screenshot ' shot.err; }
wait_for told
end_game Escape
png=$(sed -n 's/^kawauo: screenshot //p' shot.err)
check "F12 tells where the shot went ($png)" test -s "$png" -a "$(dirname "$png")" = "$XDG_PICTURES_DIR/kawauo"
# The sim shows every frame of the recording; the shot must be one of them, pixel for pixel.
awk '{ print } /^frame / { printf "shot f%05d\n", ++n }' shot.rec >shots.sim
"$SIM" --shots sim-shots shots.sim >/dev/null 2>sim.err
same=
for f in sim-shots/*.png; do
    [ "$(compare -metric AE "$png" "$f" null: 2>&1)" = 0 ] && same=$f && break
done
check "the F12 shot equals kawauo-sim's shot of one frame of the run (${same:-none})" test -n "$same"
check "F12 did not reach the game" bash -c "! grep -q F12 shot.rec"

# ---------------------------------------------------------------- fit at 1366x768
kill "$XVFB_PID"
start_xvfb 1366x768 "$WORK/xvfb2.log" || { echo "FAIL: Xvfb did not start at 1366x768"; exit 1; }
start_drawn fit.err
wait_for sized 1366x768
wait_frames 2
import -window root -silent fit.png
end_game Escape
box=$(convert fit.png -bordercolor black -border 1 -fuzz 0 -format '%@' info:)
check "fit shows the picture at 1024x768, centred, black beside it ($box)" test "$box" = "1024x768+172+1"

if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed"
    exit 1
fi
echo "all checks passed"
