#!/bin/bash
# --lang en in the real window on a virtual X display: a run played with
# xdotool through the English title into play and the English pause screen,
# recorded and traced. Its trace draws the English HUD and move message
# where the Japanese ones go, only half-width texts, and kawauo-sim --lang en
# replays it line for line. The same with --outline, which changes the
# picture of the same frame. Without --lang, an English display's LANG
# gives the English title.
#   language_e2e.sh KAWAUO KAWAUO_SIM SOURCE_DIR
# KAWAUO_E2E_KEEP=DIR keeps the recordings and traces.
set -u

KAWAUO=$(realpath "$1")
SIM=$(realpath "$2")
SRC=$(realpath "$3")

source "$SRC/scripts/checks.sh"
need_tools Xvfb xdotool import convert composite compare

source "$SRC/scripts/xvfb.sh"
source "$SRC/scripts/game_window.sh"
SCALE=2 PIC_X=0 PIC_Y=32  # 640x480 filling 1280x1024's width
start_xvfb 1280x1024 "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1; }
make_game_folder
cd "$WORK/game" || exit 1

# The English texts as written (never retyped here), UTF-8 as the trace has them.
english_of() { grep "^$1[[:space:]]" "$SRC/game/texts.en.txt" | sed 's/^[^[:space:]]*[[:space:]]*//'; }
# The texts a trace draws at (x, y), one a line.
texts_at() { grep -o "\[\"text\",$2,$3,[0-9]*,\"[^\"]*\"\]" "$1" | sed 's/^\[[^"]*"[^"]*",[0-9]*,[0-9]*,[0-9]*,"//; s/"\]$//' | sort -u; }
same_text() { [ -n "$2" ] && [ "$1" = "$2" ] || { echo "  drawn: '$1', expected: '$2'"; return 1; }; }
only_half_width() { ! grep -o '\["text",[^]]*\]' "$1" | LC_ALL=C grep -q '[^ -~]'; }
not() { ! "$@"; }
differ() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)" != 0 ]; }

for look in plain outline; do
    flags=(--lang en)
    [ "$look" = outline ] && flags+=(--outline)
    start_drawn "$look.err" "${flags[@]}" --record "$look.rec" --trace "$look.jsonl"
    check "$look: the title is lettered in English" eventually 10 shows_overlay "$SRC/bmp/en/opn.bmp"
    check "$look: and not in Japanese" not shows_overlay "$WORK/now.png" "$SRC/bmp/opn.bmp"
    press space
    wait_frames 30
    press F1
    wait_frames 30
    press space
    check "$look: so is the pause screen" eventually 10 shows_overlay "$SRC/bmp/en/push.bmp"
    press space
    hold_until_gone Escape
    wait_game 20
    status=$?
    GAME_PID=
    check "$look: the run ends with status 0 (got $status)" test "$status" -eq 0
    check "$look: the HUD's key help is the English one" \
        same_text "$(texts_at "$look.jsonl" 0 0)" "$(english_of kTextKeyHelp)"
    check "$look: the move's message is the English one, where the Japanese goes" \
        same_text "$(texts_at "$look.jsonl" 0 440)" "$(english_of kTextMoveSokodikara)"
    check "$look: every text drawn is half-width" only_half_width "$look.jsonl"
    "$SIM" "${flags[@]}" --draws --trace "$look-sim.jsonl" "$look.rec" 2>"$look-sim.err"
    check "$look: kawauo-sim ${flags[*]} replays the run line for line" cmp -s "$look.jsonl" "$look-sim.jsonl"
done

# Nothing choosing, the game speaks the display's language: English for an
# English LANG (and Japanese, as everywhere above, for the checks' C locale).
LC_ALL= LC_MESSAGES= LANG=en_US.UTF-8 start_drawn display.err
check "an English display: the title is lettered in English" eventually 10 shows_overlay "$SRC/bmp/en/opn.bmp"
xdotool key Escape
wait_game 20
GAME_PID=

{ cat outline.rec; echo "shot last"; } >shot.rec
"$SIM" --lang en --outline --shots edged shot.rec >/dev/null 2>edged.err
"$SIM" --lang en --shots plain shot.rec >/dev/null 2>plain-shot.err
check "the outline changes the picture of the same frame" differ edged/last.png plain/last.png

if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed"
    for f in *.err; do [ -s "$f" ] && { echo "--- $f"; cat "$f"; }; done
    exit 1
fi
echo "all checks passed"
