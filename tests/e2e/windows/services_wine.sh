#!/bin/bash
# kawauo.exe's player services under Wine, from the unpacked zip copied under
# a Japanese folder (C:\...\ゲーム\My Games) for a player whose user name is
# Japanese (the prefix's, so APPDATA and Pictures are Japanese paths too):
# --version and --help on standard output, a refused option as one line with
# status 2, --version and the refusal in a box when started without a
# console (as from Explorer); then three starts on a virtual X display: the
# first in English (--lang en), recording and tracing, with SPACE bound to J
# by the player's settings file, takes a screenshot (F12) and switches to a
# window (Alt+Enter), which the settings file remembers; the second starts in
# that window and plays a recording made on Linux, and leaves the settings
# file alone once it is read-only; the third plays that run from its link.
# Each recording gives the other system's program the same trace.
#   services_wine.sh GAME_FOLDER KAWAUO_SIM SOURCE_DIR
# Wine must be ready (WINEPREFIX, WINEDEBUG, and USER as the prefix was
# made) in the caller's environment.
set -u

GAME_ZIP=$(realpath "$1")
SIM=$(realpath "$2")
SRC=$(realpath "$3")

source "$SRC/scripts/checks.sh"
CLEANUP_MORE="wineserver -k"
# A Wine session left from runs without a display would serve the game
# without its X driver: it ends first, and every start here has the display.
wineserver -w
# 1280x1024: full screen shows the picture at twice its size, 32 rows of black above.
SCREEN_W=1280 SCREEN_H=1024 SCALE=2 PIC_X=0 PIC_Y=32
source "$SRC/scripts/xvfb.sh"
start_xvfb "${SCREEN_W}x${SCREEN_H}" "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start"; exit 1; }
source "$SRC/scripts/game_window.sh"
# The window's title, before and after the program took its own name.
TITLE='(2DGAME|kawauo)'

# The game unpacked under a Japanese folder; every name below in Japanese too.
GAME="$WORK/ゲーム/My Games/kawauo"
mkdir -p "$(dirname "$GAME")"
cp -r "$GAME_ZIP" "$GAME"
cd "$GAME" || exit 1
# %APPDATA%\kawauo\settings, as the prefix places APPDATA: none at the start,
# and none left for the other checks in this prefix, which start full screen.
SETTINGS="$WINEPREFIX/drive_c/users/$USER/AppData/Roaming/kawauo/settings"
rm -f "$SETTINGS"
forget_settings() { wineserver -k; rm -f "$SETTINGS"; }
CLEANUP_MORE=forget_settings

# ------------------------------------------------------------ the command line
# (a program that takes none would start the game instead: 124 after 20 s)
VERSION=$(timeout 20 wine ./kawauo.exe --version 2>/dev/null)
STATUS=$?
check "--version says the version on standard output, status 0 ($VERSION, $STATUS)" \
    test "$VERSION" = "kawauo $(sed -n 's/^project(kawauo VERSION \([0-9.]*\).*/\1/p' "$SRC/CMakeLists.txt")" -a "$STATUS" = 0
timeout 20 wine ./kawauo.exe --help >help.txt 2>&1
STATUS=$?
check "--help lists the options, status 0 (got $STATUS)" \
    bash -c "[ $STATUS = 0 ] && grep -q -- '--lang LANG' help.txt && grep -q -- '--pause-unfocused' help.txt"
timeout 20 wine ./kawauo.exe --ばつ >bad.out 2>bad.err
STATUS=$?
check "an unknown option: one line on standard error, in UTF-8, status 2 (got $STATUS: $(cat bad.err))" \
    bash -c "[ $STATUS = 2 ] && [ \$(wc -l <bad.err) = 1 ] && grep -q 'unknown option --ばつ' bad.err && [ ! -s bad.out ]"


# box_shown WHAT STATUS ARGS...: kawauo.exe started by `start`, as Explorer
# starts a program (no console, no streams), shows WHAT in a box, which
# Return answers once it takes keys, and ends with STATUS.
box_shown() {
    local what=$1 want=$2 status
    shift 2
    wine start /wait /unix "$GAME/kawauo.exe" "$@" &
    GAME_PID=$!
    check "without a console, $what shows in a box" wait_for_window kawauo 100
    for _ in $(seq 20); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        [ -n "${WID:-}" ] && xdotool windowfocus "$WID" 2>/dev/null && xdotool key --window "$WID" Return
        sleep 0.5
    done
    wait_game 10
    status=$?
    GAME_PID=
    check "the box answered, the status is $want (got $status)" test "$status" = "$want"
}
box_shown "--version" 0 --version
box_shown "a refused option" 2 --ばつ

# ------------------------------------------------------------ the first start
# The player's own settings file: SPACE on the J key alone, and a comment.
mkdir -p "$(dirname "$SETTINGS")"
printf '# mine\nkey.space = J\n' >"$SETTINGS"
wine ./kawauo.exe --lang en --record 記録.rec --trace 記録.jsonl 2>first.err &
GAME_PID=$!
wait_for_window "$TITLE" 300 || { echo "FAIL: no window"; cat first.err; exit 1; }
xdotool windowfocus "$WID" 2>/dev/null
check "--lang en: the English title shows" eventually 20 shows_overlay "$GAME/bmp/en/opn.bmp"
PROGRESS=記録.rec.part
xdotool key F12
press space 4 -
check "SPACE, bound to J alone in the settings file, leaves the title" eventually 1 shows_overlay "$GAME/bmp/en/opn.bmp"
press j 4 SPACE
check "J starts play" eventually 10 lacks_overlay "$GAME/bmp/en/opn.bmp"
press Right 20
press F2
windowed() { [ "$(window_size "$WID")" != "${SCREEN_W}x${SCREEN_H}" ]; }
xdotool key alt+Return
wait_for windowed
WINDOWED=$(window_size "$WID")
check "Alt+Enter makes a window ($WINDOWED)" test "$WINDOWED" != "${SCREEN_W}x${SCREEN_H}"
xdotool windowfocus "$WID" 2>/dev/null
press Tab
wait_frames 30
hold_until_gone Escape
wait_game 10
STATUS=$?
GAME_PID=
check "ESC ends the first start with 0 (got $STATUS)" test "$STATUS" = 0
SHOT=$(sed -n 's/^kawauo: screenshot //p' first.err | tr -d '\r')
check "F12 writes a screenshot in Pictures\\kawauo ($SHOT)" \
    bash -c "[[ '$SHOT' == *'\\かわうお\\Pictures\\kawauo\\kawauo-'*.png ]]"
SHOT_FILE=$(winepath -u "$SHOT" 2>/dev/null)
check "the screenshot is a 640x480 palette PNG" \
    test "$(identify -format '%m %wx%h %[type]' "$SHOT_FILE" 2>/dev/null)" = "PNG 640x480 Palette"
check "the settings file in APPDATA remembers the window, keeping the player's lines ($SETTINGS)" \
    bash -c "grep -qx 'fullscreen = no' '$SETTINGS' && grep -qx '# mine' '$SETTINGS' && grep -qx 'key.space = J' '$SETTINGS'"
check "the recording and the trace are in place under their Japanese names" test -s 記録.rec -a -s 記録.jsonl

# ------------------------------------------------------------ Windows' run on Linux
(cd "$GAME" && "$SIM" --lang en --draws --trace linux.jsonl 記録.rec 2>sim.err)
check "kawauo-sim on Linux replays kawauo.exe's recording to its trace ($(grep -c '^{"frame"' 記録.jsonl) frames)" \
    cmp -s 記録.jsonl linux.jsonl

# ------------------------------------------------------------ the second start
# Linux's recording, played by kawauo.exe in the window the settings remember;
# the settings file made read-only (Wine shows a file without write
# permission so), Alt+Enter's choice is not written into it.
cp "$SETTINGS" settings.before
chmod a-w "$SETTINGS"
cp "$SRC/tests/replays/retire.rec" linux.rec
"$SIM" --draws --trace replay.jsonl linux.rec 2>/dev/null
FRAMES=$(grep -c '^{"frame"' replay.jsonl)
wine ./kawauo.exe --play linux.rec --trace played.jsonl 2>second.err &
GAME_PID=$!
wait_for_window "$TITLE" 300 || { echo "FAIL: no window"; cat second.err; exit 1; }
PROGRESS=
wait_for windowed
SECOND=$(window_size "$WID")
check "the second start opens the window the settings remember ($SECOND)" test "$SECOND" != "${SCREEN_W}x${SCREEN_H}"
xdotool windowfocus "$WID" 2>/dev/null
xdotool key alt+Return
# leave_show TRACE: ESC once the show is past its recording's end. The show
# runs at most 60 frames a second, later on a busy machine: its trace,
# written beside its place until the end, says when it is past the end.
leave_show() {
    SHOW_TRACE=$1
    past_the_end() { [ "$(cat ."$SHOW_TRACE".kawauo-* 2>/dev/null | grep -c '^{"frame"')" -gt $((FRAMES + 10)) ]; }
    wait_for past_the_end
    xdotool windowfocus "$WID" 2>/dev/null
    hold_until_gone Escape
    wait_game 10
    STATUS=$?
    GAME_PID=
    check "ESC leaves the show with 0 (got $STATUS)" test "$STATUS" = 0
}
leave_show played.jsonl
check "kawauo.exe plays Linux's recording to Linux's trace ($FRAMES frames)" \
    cmp -s <(grep '^{"frame"' replay.jsonl) <(head -n "$FRAMES" played.jsonl)
check "a read-only settings file is said and left as it was" \
    bash -c "grep -q 'the settings are not saved: .*settings is read-only' second.err && cmp -s settings.before '$SETTINGS'"

# ------------------------------------------------------------ the third start
# The same run as its link, made on Linux and given on the command line.
wine ./kawauo.exe --play "$("$SIM" --link linux.rec)" --trace linked.jsonl 2>third.err &
GAME_PID=$!
wait_for_window "$TITLE" 300 || { echo "FAIL: no window"; cat third.err; exit 1; }
leave_show linked.jsonl
check "kawauo.exe plays the run's link to Linux's trace ($FRAMES frames)" \
    cmp -s <(grep '^{"frame"' replay.jsonl) <(head -n "$FRAMES" linked.jsonl)

exit $((FAILURES > 0))
