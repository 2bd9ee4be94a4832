#!/usr/bin/env bash
# The Windows build: kawauo.exe and kawauo-sim.exe cross-compiled with
# MinGW-w64 and the players' zip made by CPack, then checked under Wine: the
# sim against the Linux one, the game from the unpacked zip on Xvfb, and its
# player services (command line, settings, screenshots, English, a Japanese
# folder and user, recordings that cross between Windows and Linux).
# Prints the zip's size and how long the game takes to start under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${KAWAUO_WINDOWS_PACKAGES[@]}"
set -e
cmake --preset windows >/dev/null
cmake --build --preset windows
# The Linux sim to compare with (already built by the ci stage of test.sh).
cmake --preset ci >/dev/null
cmake --build --preset ci --target kawauo-sim
rm -rf build-windows/package
(cd build-windows && cpack -G ZIP -B "$PWD/package" >/dev/null)
ZIP=$(ls build-windows/package/kawauo-*-windows-x64.zip)
ZIP_BYTES=$(stat -c %s "$ZIP")
echo "windows: $(basename "$ZIP"): $ZIP_BYTES bytes"
# What a player downloads stays under 1.3 MB.
[ "$ZIP_BYTES" -lt 1300000 ] || { echo "FAIL: the zip is 1.3 MB or more" >&2; exit 1; }
mkdir -p build-windows/package/unpacked
(cd build-windows/package/unpacked && cmake -E tar xf "../$(basename "$ZIP")")
set +e

WORK=$(mktemp -d)
export WINEPREFIX=$WORK/wineprefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null; rm -rf "$WORK"' EXIT
# The prefix is made once, before anything is timed, for a player with a
# Japanese user name (APPDATA, Pictures and the rest below C:\users\かわうお),
# whose Pictures folder Wine links to a home of its own.
export USER=かわうお HOME=$WORK/home
mkdir -p "$HOME"
wineboot -i >/dev/null 2>&1
wineserver -w
# The player's Windows shows its menus in Japanese: Wine takes the display
# language from LC_MESSAGES, a locale made here (none is installed), beside
# an English one for the checks of an English player.
export LOCPATH=$WORK/locales
mkdir -p "$LOCPATH"
for locale in ja_JP en_US; do localedef -i $locale -f UTF-8 "$LOCPATH/$locale.UTF-8" || exit 1; done
export LC_MESSAGES=ja_JP.UTF-8

tests/e2e/windows/sim_wine.sh build-windows/kawauo-sim.exe build-ci/kawauo-sim . | tee "$WORK/log"
tests/e2e/windows/game_wine.sh build-windows/package/unpacked/kawauo-*-windows-x64 . | tee -a "$WORK/log"
tests/e2e/windows/services_wine.sh build-windows/package/unpacked/kawauo-*-windows-x64 build-ci/kawauo-sim . |
    tee -a "$WORK/log"
echo "windows: $(grep -c '^ok:' "$WORK/log") passed, $(grep -c '^FAIL' "$WORK/log") failed"
! grep -q '^FAIL' "$WORK/log"
