#!/bin/bash
# The real game on a virtual X display, played with xdotool and read back from
# screenshots: window and frames, title, play with HUD and a moving fish,
# pause, retire to the result screen, back to the title, Alt+Enter, ESC; a
# missing picture; pictures beside the program, and the installed
# game, each started from elsewhere.
#   game_e2e.sh KAWAUO SOURCE_DIR BUILD_DIR
# Frame pacing over 10 s is printed (KAWAUO_FRAME_STATS), not judged.
set -u

KAWAUO=$(realpath "$1")
SRC=$2
BUILD=$(realpath "$3")

source "$SRC/scripts/checks.sh"
need_tools Xvfb xdotool xwininfo import convert composite compare od awk

# --- the display: 1280x1024, so full screen shows the picture at twice its size
SCREEN_W=1280 SCREEN_H=1024 SCALE=2
PIC_X=0 PIC_Y=32
source "$SRC/scripts/xvfb.sh"
source "$SRC/scripts/game_window.sh"
start_xvfb "${SCREEN_W}x${SCREEN_H}" "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1; }

# --- the pictures: a folder of the game's own, to start it in
make_game_folder
BMP=$WORK/game/bmp
export XDG_PICTURES_DIR=$WORK/pictures

# The game's texts, as written (never retyped here).
text_of() { grep "^$1[[:space:]]" "$SRC/display/texts.txt" | sed 's/^[^[:space:]]*[[:space:]]*//; s/\\n.*//'; }

# The screen palette: the colour table of back.bmp; the entry nearest (r, g, b).
nearest() {
    od -An -tu1 -v -j54 -N1024 "$BMP/back.bmp" | tr -s ' ' '\n' | grep -v '^$' |
        awk -v r="$1" -v g="$2" -v b="$3" '
            { v[NR - 1] = $1 }
            END {
                best = -1
                for (i = 0; i < 256; i++) {
                    d = (v[4*i+2] - r)^2 + (v[4*i+1] - g)^2 + (v[4*i] - b)^2
                    if (best < 0 || d < best) { best = d; c = sprintf("#%02X%02X%02X", v[4*i+2], v[4*i+1], v[4*i]) }
                }
                print c
            }'
}

# Pixels of one colour in a rectangle of a 640x480 shot.
count_colour() {  # FRAME COLOUR X Y W H
    convert "$1" -crop "$5x$6+$3+$4" +repage -fill black +opaque "$2" -fill white -opaque "$2" \
        -format '%[fx:round(mean*w*h)]' info:
}

# Where the fish is: of the candidate places "x,y ...", the one where most of
# its picture's opaque pixels (either swim frame, every third one) show.
fish_search() {  # FRAME CANDIDATES -> "x y percent"
    {
        convert "$BMP/fish1.bmp" -depth 8 txt:- | sed 's/^/1 /'
        convert "$BMP/fish2.bmp" -depth 8 txt:- | sed 's/^/2 /'
        convert "$1" -depth 8 txt:- | sed 's/^/F /'
    } | awk -v candidates="$2" '
        $2 == "#" { next }
        { split($2, p, "[,:]") }
        $1 == "F" { frame[p[1] "," p[2]] = $4; next }
        {
            k = $1
            if (!(k in key)) key[k] = $4
            if ($4 != key[k] && (p[1] + p[2]) % 3 == 0) { n[k]++; px[k, n[k]] = p[1]; py[k, n[k]] = p[2]; pc[k, n[k]] = $4 }
        }
        END {
            count = split(candidates, c, " ")
            best = -1
            for (i = 1; i <= count; i++) {
                split(c[i], xy, ",")
                for (k = 1; k <= 2; k++) {
                    hits = 0
                    for (j = 1; j <= n[k]; j++)
                        if (frame[(xy[1] + px[k, j]) "," (xy[2] + py[k, j])] == pc[k, j]) hits++
                    score = 100 * hits / n[k]
                    if (score > best) { best = score; bx = xy[1]; by = xy[2] }
                }
            }
            printf "%d %d %d\n", bx, by, best
        }'
}
# The fish moves 10 pixels a step from (1, 310), within x 0..235 and y 0..310.
row_candidates() { for x in $(seq 1 10 231) 235; do printf '%s,%s ' "$x" "$1"; done; }
column_candidates() { for y in $(seq 310 -10 0); do printf '%s,%s ' "$1" "$y"; done; }


# ---------------------------------------------------------------- a whole visit
# Recorded, so that each step waits on the frames the game has ended.
PROGRESS=$WORK/visit.rec.part
(cd "$WORK/game" && KAWAUO_FRAME_STATS=1 exec "$KAWAUO" --record "$WORK/visit.rec") 2>"$WORK/visit.err" &
GAME_PID=$!
START=$(date +%s)
check "the window opens" wait_for_window
[ -n "${WID:-}" ] || { cat "$WORK/visit.err"; exit 1; }
wait_frames 2
FULL=$(window_size "$WID")
check "the window covers the screen ($FULL)" test "$FULL" = "${SCREEN_W}x${SCREEN_H}"
focus

check "the title shows" eventually 10 shows_overlay "$BMP/opn.bmp"
cp "$WORK/now.png" "$WORK/title1.png"
import -window root -silent "$WORK/root.png"
check "black above and below the picture" test "$(convert "$WORK/root.png" \( -clone 0 -crop ${SCREEN_W}x${PIC_Y}+0+0 \) \
    \( -clone 0 -crop ${SCREEN_W}x${PIC_Y}+0+$((PIC_Y + 480 * SCALE)) \) -delete 0 -append -colorspace gray -format '%[max]' info:)" = 0
wait_frames 30
shot "$WORK/title2.png"
changed=$(compare -metric AE "$WORK/title1.png" "$WORK/title2.png" null: 2>&1)
check "frames flip: the river moves ($changed pixels changed in 30 frames)" test "${changed%% *}" -gt 500

YELLOW=$(nearest 255 255 0)
WHITE=$(nearest 255 255 255)
hud_title=$(count_colour "$WORK/title2.png" "$YELLOW" 0 0 640 16)

press space
has_hud() { [ "$(count_colour "$1" "$YELLOW" 0 0 640 16)" -gt $((hud_title + 150)) ]; }
check "SPACE starts play: the HUD's key help appears (yellow $YELLOW)" eventually 10 has_hud
check "the title is gone in play" lacks_overlay "$WORK/now.png" "$BMP/opn.bmp"

# Right away, long before the fish could run out of strength by itself.
result_base=$(count_colour "$WORK/now.png" "$WHITE" 0 320 640 130)
press Tab
has_result() { [ "$(count_colour "$1" "$WHITE" 0 320 640 130)" -gt $((result_base + 400)) ]; }
check "TAB retires to the result screen (white $WHITE figures)" eventually 4 has_result
press space
check "SPACE goes back to the title" eventually 10 shows_overlay "$BMP/opn.bmp"

sized() { [ "$(window_size "$WID")" = "$1" ]; }
xdotool key alt+Return
wait_for sized "$((640 * SCALE))x$((480 * SCALE))"
WINDOWED=$(window_size "$WID")
check "Alt+Enter makes a window at twice the picture ($WINDOWED)" test "$WINDOWED" = "$((640 * SCALE))x$((480 * SCALE))"
xdotool key alt+Return
wait_for sized "${SCREEN_W}x${SCREEN_H}"
check "Alt+Enter again covers the screen" test "$(window_size "$WID")" = "${SCREEN_W}x${SCREEN_H}"
check "Alt+Enter does not reach the game: still on the title" eventually 5 shows_overlay "$BMP/opn.bmp"

# A second run. Play drains the fish's strength within seconds: shots now,
# their study later. Each key is held for frames the game counts, and each
# shot taken once the game has heard the key go up and ended a frame.
# The fish lives some 20 s of the game's clock, which shots of the whole
# screen on a busy machine once outlasted (the fish gone to the result
# screen before the last): so the pause comes first, and the fish's moves
# are shot by F12, the game's own picture of the frame it shows, written
# off its thread and told on standard error.
shots_told() { grep -c '^kawauo: screenshot ' "$WORK/visit.err"; }
shots_told_past() { [ "$(shots_told)" -gt "$1" ]; }
game_shot() {  # game_shot FILE
    local before
    before=$(shots_told)
    xdotool key F12
    wait_for shots_told_past "$before" || { echo "game_shot: F12 told of no shot" >&2; return; }
    cp "$(sed -n 's/^kawauo: screenshot //p' "$WORK/visit.err" | tail -n 1)" "$1"
}
press space
check "SPACE starts another run" eventually 10 has_hud
press space
check "SPACE pauses" eventually 10 shows_overlay "$BMP/push.bmp"
press space
not_paused() { lacks_overlay "$1" "$BMP/push.bmp"; }
check "SPACE resumes" eventually 10 not_paused
game_shot "$WORK/play1.png"
press Right 20
game_shot "$WORK/play2.png"
press Up 20
game_shot "$WORK/play3.png"

read -r x1 y1 m1 < <(fish_search "$WORK/play1.png" "1,310")
check "the fish starts at (1, 310): $m1% of it shows" test "$m1" -ge 70
read -r x2 y2 m2 < <(fish_search "$WORK/play2.png" "$(row_candidates 310)")
check "RIGHT moves the fish right: ($x1,$y1) -> ($x2,$y2), $m2% shown" test "$m2" -ge 70 -a "$x2" -gt $((x1 + 20))
read -r x3 y3 m3 < <(fish_search "$WORK/play3.png" "$(column_candidates "$x2")")
check "UP moves the fish up: ($x2,$y2) -> ($x3,$y3), $m3% shown" test "$m3" -ge 70 -a "$y3" -lt $((y2 - 20))

# Frame pacing is logged every 10 s of presents.
while [ $(($(date +%s) - START)) -lt 12 ] && ! grep -q 'frame pacing' "$WORK/visit.err"; do sleep 0.5; done
focus
hold_until_gone Escape
wait_game 10
status=$?
check "ESC ends the game with status 0 (got $status)" test "$status" -eq 0
GAME_PID=
grep 'frame pacing' "$WORK/visit.err" | sed 's/^/  /'
# Xvfb's OpenGL is the processor's: the game draws straight into the window instead.
check "the game presents through the window surface" grep -q 'frame pacing.*window surface' "$WORK/visit.err"

# ---------------------------------------------------------------- a missing picture
mkdir -p "$WORK/broken"
cp -r "$BMP" "$WORK/broken/bmp"
rm "$WORK/broken/bmp/fish2.bmp"
(cd "$WORK/broken" && exec "$KAWAUO") 2>"$WORK/broken.err" &
GAME_PID=$!
CAPTION=$(text_of kTextCreateFailedCaption)
for _ in $(seq 200); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    # Each box is answered as a player would: Enter on it.
    box=$(xwininfo -root -children 2>/dev/null | grep -F "\"$CAPTION\"" | awk '{ print $1 }' | head -n1)
    if [ -n "$box" ]; then
        xdotool mousemove --window "$box" 5 5
        xdotool windowfocus "$box" 2>/dev/null
        xdotool key Return
    fi
    sleep 0.1
done
wait_game 5
status=$?
GAME_PID=
check "a missing picture ends the game with a failure status (got $status)" test "$status" -ne 0 -a "$status" -ne 124
check "a missing picture's box is told on standard error" grep -qF "$CAPTION: $(text_of kTextCreateFailed)" "$WORK/broken.err"

# Starts BIN from / (so only its own lookup can find the pictures), checks its
# window and title, ends it with ESC and leaves its exit status in `status`.
play_from_root() {  # play_from_root WHAT BIN STDERR_LOG
    PROGRESS=  # the pictures' own check: it waits on the screen
    (cd / && exec "$2") 2>"$3" &
    GAME_PID=$!
    check "$1 opens its window" wait_for_window
    focus
    check "$1, started from /, finds its pictures" eventually 10 shows_overlay "$BMP/opn.bmp"
    hold_until_gone Escape
    wait_game 10
    status=$?
    GAME_PID=
}

# ---------------------------------------------------------------- pictures beside the program
mkdir -p "$WORK/portable"
cp "$KAWAUO" "$WORK/portable/kawauo"
cp -r "$BMP" "$WORK/portable/bmp"
play_from_root "a game with its pictures beside it" "$WORK/portable/kawauo" "$WORK/portable.err"

# ---------------------------------------------------------------- installed
if cmake --install "$BUILD" --prefix "$WORK/prefix" >"$WORK/install.log" 2>&1; then
    check "the desktop entry is installed" test -s "$WORK/prefix/share/applications/org.example.kawauo.desktop"
    check "the icon is installed" test -s "$WORK/prefix/share/icons/hicolor/64x64/apps/kawauo.png"
    play_from_root "the installed game" "$WORK/prefix/bin/kawauo" "$WORK/installed.err"
    check "the installed game ends with status 0 (got $status)" test "$status" -eq 0
else
    fail "cmake --install"
    cat "$WORK/install.log"
fi

if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed; the game said:"
    cat "$WORK/visit.err"
    exit 1
fi
echo "all checks passed"
