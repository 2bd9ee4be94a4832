#!/usr/bin/env bash
# CI stage for the Linux package: builds the .deb (the package preset),
# validates its desktop entry and AppStream metadata, runs lintian on it,
# installs it with apt-get, plays the installed game from / under Xvfb,
# purges it and looks for anything left. Then, on a minimal Debian made with
# debootstrap, the README's ./play.sh installs what it needs, builds the game
# and starts it under Xvfb. Nothing is kept between runs.
#   scripts/ci_package.sh
set -uo pipefail
cd "$(dirname "$0")/.."
SRC=$PWD
source scripts/deps.sh
ensure_packages "${KAWAUO_GAME_PACKAGES[@]}" "${KAWAUO_PACKAGE_PACKAGES[@]}"
source scripts/xvfb.sh
source scripts/game_window.sh

source scripts/checks.sh
MINBASE=
stage_start() { STAGE_T0=$(date +%s); echo "== package: $1"; }
stage_end() { echo "   $1 took $(($(date +%s) - STAGE_T0)) s"; }

# The processes running in the minimal Debian (apt, the build, the game) are
# ended, then its mounts, deepest first; its folder is removed only when
# nothing is mounted under it any more.
minbase_pids() {
    local proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$MINBASE" ] && echo "${proc#/proc/}"
    done
}
unmount_minbase() {
    [ -n "$MINBASE" ] || return 0
    local mount pids
    pids=$(minbase_pids)
    if [ -n "$pids" ]; then
        kill $pids 2>/dev/null
        sleep 2
        pids=$(minbase_pids)
        [ -n "$pids" ] && kill -KILL $pids 2>/dev/null && sleep 1
    fi
    for mount in $(awk -v root="$MINBASE/" 'index($2, root) == 1 { print $2 }' /proc/mounts | sort -r); do
        umount -l "$mount" 2>/dev/null
    done
    if awk -v root="$MINBASE/" 'index($2, root) == 1 { found = 1 } END { exit !found }' /proc/mounts; then
        echo "still mounted under $MINBASE: left in place" >&2
    else
        rm -rf --one-file-system "$MINBASE"
    fi
    MINBASE=
}
CLEANUP_MORE=unmount_minbase

# The game on a 640x480 screen shows its picture 1:1 in the corner.
SCALE=1 PIC_X=0 PIC_Y=0
start_xvfb 640x480 "$WORK/xvfb.log" || { echo "FAIL: Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1; }

# Starts COMMAND... (which ends in exec'ing the game) and waits up to SECONDS
# for its window; checks the title shows and that ESC ends it with status 0.
play_title_escape() {  # play_title_escape WHAT SECONDS LOG COMMAND...
    local what=$1 seconds=$2 log=$3
    shift 3
    "$@" >"$log" 2>&1 &
    GAME_PID=$!
    local deadline=$(($(date +%s) + seconds)) found=1
    until wait_for_window; do
        kill -0 "$GAME_PID" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ] && continue
        found=0
        break
    done
    if [ $found -eq 0 ]; then
        fail "$what opens its window"
        tail -n 40 "$log"
        kill "$GAME_PID" 2>/dev/null && wait "$GAME_PID"
        GAME_PID=
        return
    fi
    pass "$what opens its window"
    focus
    check "$what shows its title" eventually 10 shows_overlay "$SRC/bmp/opn.bmp"
    hold_until_gone Escape
    wait_game 10
    local status=$?
    [ $status -eq 124 ] && kill "$GAME_PID" && wait "$GAME_PID"
    GAME_PID=
    check "$what ends with status 0 on ESC (got $status)" test "$status" -eq 0
}

# Every path named kawauo outside the sources and scratch folders.
kawauo_paths() {
    find / -xdev \( -path /proc -o -path /sys -o -path /tmp -o -path /var/tmp -o -path /work -o -path "$SRC" \) \
        -prune -o -name '*kawauo*' -print 2>/dev/null | sort
}

# ---------------------------------------------------------------- the .deb
stage_start "build the .deb"
rm -rf build-package/package
cmake --preset package >"$WORK/configure.log" 2>&1 && nice cmake --build --preset package >"$WORK/build.log" 2>&1
built=$?
DEB=$(ls build-package/package/kawauo_*.deb 2>/dev/null | head -n1)
check "cpack makes the .deb" test $built -eq 0 -a -n "$DEB"
stage_end "building the .deb"
if [ -z "$DEB" ]; then
    tail -n 40 "$WORK/build.log"
    echo "package: $PASSED passed, $FAILURES failed"
    exit 1
fi
echo "   $DEB: $(stat -c %s "$DEB") bytes"
dpkg-deb -f "$DEB" Package Version Depends | sed 's/^/   /'

stage_start "validate and lint"
dpkg-deb -x "$DEB" "$WORK/deb"
APP_ID=org.example.kawauo  # data/CMakeLists.txt
desktop-file-validate "$WORK/deb/usr/share/applications/$APP_ID.desktop" >"$WORK/desktop.log" 2>&1
check "desktop-file-validate passes the desktop entry" test $? -eq 0 -a ! -s "$WORK/desktop.log"
cat "$WORK/desktop.log"
# The metainfo alone, then with the desktop entry and icons it names.
appstreamcli validate --no-net "$WORK/deb/usr/share/metainfo/$APP_ID.metainfo.xml" >"$WORK/appstream.log" 2>&1
status=$?
appstreamcli validate-tree --no-net "$WORK/deb" >>"$WORK/appstream.log" 2>&1
status=$((status + $?))
sed 's/^/   /' "$WORK/appstream.log"
check "appstreamcli validates the metainfo and the installed tree with no error or warning" \
    test $status -eq 0 -a "$(grep -c '^[EW]:' "$WORK/appstream.log")" -eq 0
lintian --fail-on error --display-level '>=pedantic' "$DEB" >"$WORK/lintian.log" 2>&1
status=$?
grep -v 'running with root privileges' "$WORK/lintian.log" | sed 's/^/   /'
check "lintian reports no errors" test $status -eq 0 -a "$(grep -c '^E:' "$WORK/lintian.log")" -eq 0
stage_end "validating and linting"

stage_start "install, play, purge"
# A package left by an interrupted run would hide what this one installs.
dpkg-query -W kawauo >/dev/null 2>&1 && apt-get purge -y -q kawauo >/dev/null
kawauo_paths >"$WORK/before.txt"
# What the package holds, and which of those paths were there before it.
dpkg-deb -c "$DEB" | awk '{ print $6 }' | sed 's|^\.||; s|/$||' | sed '/^$/d' >"$WORK/contents.txt"
while read -r path; do [ -e "$path" ] && echo "$path"; done <"$WORK/contents.txt" >"$WORK/existed.txt"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$DEB" >"$WORK/install.log" 2>&1
check "apt-get installs the .deb" test $? -eq 0 || tail -n 20 "$WORK/install.log"
check "the game is in /usr/games, its pictures in /usr/share/games/kawauo" \
    test -x /usr/games/kawauo -a -s /usr/share/games/kawauo/bmp/opn.bmp
check "the manual page is installed" test -s /usr/share/man/man6/kawauo.6.gz
check "the copyright and the fonts' credits are installed" \
    test -s /usr/share/doc/kawauo/copyright -a -s /usr/share/doc/kawauo/CREDITS
version=$(/usr/games/kawauo --version 2>&1)
check "kawauo --version ($version) names the package's version" test "$version" = "kawauo $(dpkg-deb -f "$DEB" Version)"
# From / with a home of its own, so the run leaves nothing outside $WORK.
mkdir -p "$WORK/home"
play_title_escape "the installed game" 20 "$WORK/installed.log" \
    env -C / HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" /usr/games/kawauo
DEBIAN_FRONTEND=noninteractive apt-get purge -y -q kawauo >"$WORK/purge.log" 2>&1
check "apt-get purges the package" test $? -eq 0
check "dpkg no longer knows the package" test -z "$(dpkg-query -W -f='${Status}' kawauo 2>/dev/null)"
left=$(comm -13 "$WORK/before.txt" <(kawauo_paths))
while read -r path; do
    [ -e "$path" ] && ! grep -qxF "$path" "$WORK/existed.txt" && left+=$'\n'"$path"
done <"$WORK/contents.txt"
left=$(echo "$left" | sed '/^$/d' | sort -u)
check "nothing of the package is left on disk" test -z "$left"
[ -n "$left" ] && echo "$left" | sed 's/^/   left: /'
stage_end "installing, playing and purging"

# ---------------------------------------------------------------- a minimal Debian
stage_start "./play.sh on a minimal Debian"
RELEASE=$(. /etc/os-release && echo "$VERSION_CODENAME")
MINBASE=$(mktemp -d /var/tmp/kawauo-minbase.XXXXXX)
t0=$(date +%s)
debootstrap --variant=minbase "$RELEASE" "$MINBASE" "${KAWAUO_DEBIAN_MIRROR:-http://deb.debian.org/debian}" \
    >"$WORK/debootstrap.log" 2>&1
made=$?
echo "   debootstrap $RELEASE: $(($(date +%s) - t0)) s, $(du -sm "$MINBASE" | cut -f1) MB"
check "debootstrap makes a minimal $RELEASE" test $made -eq 0 || tail -n 20 "$WORK/debootstrap.log"
if [ $made -eq 0 ]; then
    cp /etc/resolv.conf "$MINBASE/etc/resolv.conf"
    mount -t proc proc "$MINBASE/proc"
    mount --rbind /dev "$MINBASE/dev" && mount --make-rslave "$MINBASE/dev"
    mount --rbind /sys "$MINBASE/sys" && mount --make-rslave "$MINBASE/sys"
    mkdir -p "$MINBASE/tmp/.X11-unix"
    mount --bind /tmp/.X11-unix "$MINBASE/tmp/.X11-unix"
    # The tracked files as they are in this checkout, no build folders.
    mkdir -p "$MINBASE/root/kawauo"
    git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$MINBASE/root/kawauo"
    play_title_escape "the game of ./play.sh on a minimal Debian" 540 "$WORK/minbase.log" \
        chroot "$MINBASE" /usr/bin/env -i HOME=/root TERM=dumb DISPLAY="$DISPLAY" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c 'cd /root/kawauo && exec ./play.sh'
    grep -m1 '^Installing:' "$WORK/minbase.log" | sed 's/^/   play.sh: /'
fi
unmount_minbase
stage_end "the minimal Debian"

echo "package: $PASSED passed, $FAILURES failed"
[ "$FAILURES" -eq 0 ]
