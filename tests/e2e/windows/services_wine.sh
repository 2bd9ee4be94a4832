#!/bin/bash
# kawauo.exe's player services under Wine, from the unpacked zip copied under
# a Japanese folder (C:\...\ゲーム\My Games) for a player whose user name is
# Japanese (the prefix's, so APPDATA and Pictures are Japanese paths too):
# --version and --help (also as /? and -?, naming only what the zip holds) on
# standard output, a refused option as one line with status 2, --version,
# --help and the refusal in a box when started without a console (as from
# Explorer); then four starts on a virtual X display: the first in English
# (--lang en), recording and tracing, with SPACE bound to J by the player's
# settings file (kept under its former name, which the game moves to
# settings.ini), takes a screenshot (F12) and switches to a window
# (Alt+Enter), which the settings file remembers; the second starts in that
# window and plays a recording made on Linux, and leaves the settings file
# alone once it is read-only; the third is given that recording alone, as
# Explorer gives a file dropped on the program, and plays it; the fourth
# plays that run from its link. Each recording gives the other system's
# program the same trace.
#   services_wine.sh GAME_FOLDER KAWAUO_SIM SOURCE_DIR
# Wine must be ready (WINEPREFIX, WINEDEBUG, and USER as the prefix was
# made, its display in Japanese) in the caller's environment.
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
# %APPDATA%\kawauo\settings.ini, as the prefix places APPDATA, and its
# former name: none at the start, and none left for the other checks in this
# prefix, which start full screen.
SETTINGS="$WINEPREFIX/drive_c/users/$USER/AppData/Roaming/kawauo/settings.ini"
FORMER="${SETTINGS%.ini}"
rm -f "$SETTINGS" "$FORMER"
forget_settings() { wineserver -k; rm -f "$SETTINGS" "$FORMER"; }
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
for asked in '/?' '-?'; do
    timeout 20 wine ./kawauo.exe "$asked" >help2.txt 2>&1
    STATUS=$?
    check "$asked is --help (status $STATUS)" bash -c "[ $STATUS = 0 ] && cmp -s help.txt help2.txt"
done
check "--help names only what the zip holds: the read-mes, not the manual page nor kawauo-sim" \
    bash -c "grep -q 'README-en.txt' help.txt && ! grep -q 'kawauo(6)\|kawauo-sim' help.txt"
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
box_shown "--help" 0 --help
box_shown "a refused option" 2 --ばつ
# What stops the game before its window opens, told in a box too: a
# recording that would write over a file there.
touch "$WORK/kept.rec"
box_shown "a refused --record" 1 --record "$(winepath -w "$WORK/kept.rec" 2>/dev/null)"
check "the file --record refused is left as it was" test ! -s "$WORK/kept.rec"

# ------------------------------------------------------------ the first start
# The player's own settings file, under the name it had before: SPACE on the
# J key alone, and a comment.
# (The refused --record's start made settings.ini: this player has none yet.)
rm -f "$SETTINGS"
mkdir -p "$(dirname "$SETTINGS")"
printf '# mine\nkey.space = J\nvolume = 11\n' >"$FORMER"
wine ./kawauo.exe --lang en --record 記録.rec --trace 記録.jsonl 2>first.err &
GAME_PID=$!
# titled NAME: a window whose title holds NAME (a regular expression) shows.
titled() { xdotool search --name "$1" >/dev/null 2>&1; }
check "a settings line the game cannot read is a note in the window's title" wait_for titled "unknown setting 'volume'"
wait_for_window "$TITLE" 300 || { echo "FAIL: no window"; cat first.err; exit 1; }
xdotool windowfocus "$WID" 2>/dev/null
check "--lang en: the English title shows" eventually 20 shows_overlay "$GAME/bmp/en/opn.bmp"
PROGRESS=記録.rec.part
xdotool key F12
check "F12 says where the picture went in the window's title" wait_for titled "screenshot .*kawauo-.*[.]png"
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
# The player sizes the window: remembered, as on Linux.
xdotool windowsize "$WID" 800 600
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
check "the settings file in APPDATA remembers the window and its size, keeping the player's lines ($SETTINGS)" \
    bash -c "grep -qx 'fullscreen = no' '$SETTINGS' && grep -qx 'window = 800x600' '$SETTINGS' && grep -qx '# mine' '$SETTINGS' && grep -qx 'key.space = J' '$SETTINGS' &&
             grep -qx 'volume = 11' '$SETTINGS'"
check "the settings file was moved from its former name, and said so" \
    bash -c "[ ! -e '$FORMER' ] && grep -q 'the settings file is now .*settings.ini (moved from .*settings)' first.err"
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
check "the second start opens the window the settings remember ($SECOND)" test "$SECOND" = 800x600
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
    bash -c "grep -q 'the settings are not saved: .*settings\.ini is read-only' second.err && cmp -s settings.before '$SETTINGS'"

# ------------------------------------------------------------ a recording dropped
# Explorer starts the program a file is dropped on with the file's whole
# name alone, from another folder: the recording is played, its run going on
# with no key pressed here, until ESC.
chmod u+w "$SETTINGS"
sed -i 's/^fullscreen = no$/fullscreen = yes/' "$SETTINGS"
DROPPED=$(winepath -w "$GAME/linux.rec" 2>/dev/null)
(cd "$WORK" && exec wine start /wait /unix "$GAME/kawauo.exe" "$DROPPED") 2>dropped.err &
GAME_PID=$!
wait_for_window "$TITLE" 300 || { echo "FAIL: no window"; cat dropped.err; exit 1; }
xdotool windowfocus "$WID" 2>/dev/null
check "a recording dropped on kawauo.exe opens the game full screen, no box" \
    test "$(window_size "$WID")" = "${SCREEN_W}x${SCREEN_H}"
check "and plays it: the run leaves the title unasked" eventually 60 lacks_overlay "$GAME/bmp/opn.bmp"
xdotool key Escape
wait_game 10
STATUS=$?
GAME_PID=
check "ESC leaves the dropped recording's show with 0 (got $STATUS)" test "$STATUS" = 0

# ------------------------------------------------------------ the fourth start
# The same run as its link, made on Linux and given on the command line.
wine ./kawauo.exe --play "$("$SIM" --link linux.rec)" --trace linked.jsonl 2>third.err &
GAME_PID=$!
wait_for_window "$TITLE" 300 || { echo "FAIL: no window"; cat third.err; exit 1; }
leave_show linked.jsonl
check "kawauo.exe plays the run's link to Linux's trace ($FRAMES frames)" \
    cmp -s <(grep '^{"frame"' replay.jsonl) <(head -n "$FRAMES" linked.jsonl)

exit $((FAILURES > 0))
