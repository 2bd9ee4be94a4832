#!/usr/bin/env bash
# The web build: the `web` preset made with Debian's emscripten into
# build-web/site, served on 127.0.0.1 and checked in Debian's headless
# Chromium through playwright-core (tests/e2e/web): the game end to end, its
# frames against kawauo-sim's, its pace on displays of other rates, a
# gamepad, what ?script= takes and the page during a long script, the
# page's choices and the runs it shows (the committed scripts' traces as
# kawauo-sim's, English, the menu kept, a recording watched), a run's link
# (each kept run's replayed as kawauo-sim replays it, a damaged one refused,
# a run shared by the clipboard and by Web Share as kawauo-sim's link), loading
# (failed downloads, Try again), Play again and offline play, the start with
# each of the page's files held back and with an exception before the first
# frame, the page in a laptop's window and on phones played by touch, the
# page in a player's hand (no tap costs a run, the picture's size on phones,
# the header, a bad query, the words, the keyboard, axe-core's audit, a
# first visit on a phone's network), a bundle missing a picture and one
# holding none; all under the page's Content-Security-Policy, which allows
# no eval; and that the page's deflate (Debian's pako) makes zlib's bytes of
# the kept runs' links. Prints the folder's size.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${KAWAUO_WEB_PACKAGES[@]}"
command -v npm >/dev/null || ensure_packages npm
set -e
cmake --preset web >/dev/null
cmake --build --preset web
# The Linux sim to compare with (already built by the ci stage of test.sh).
cmake --preset ci >/dev/null
cmake --build --preset ci --target kawauo-sim
# playwright-core as locked, and never a browser of its own.
(cd tests/e2e/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
export NODE_PATH=$PWD/tests/e2e/web/node_modules
SITE=build-web/site
echo "web: $SITE: $(du -sb "$SITE" | cut -f1) bytes, $(tar cf - -C "$SITE" . | gzip -9 | wc -c) gzipped"
set +e

WORK=$(mktemp -d)
SERVERS=()
trap 'for pid in "${SERVERS[@]}"; do kill "$pid" 2>/dev/null; done; rm -rf "$WORK"' EXIT

# serve DIR: a static server on a free port of 127.0.0.1; sets URL.
serve() {
    local port
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    python3 -m http.server "$port" --bind 127.0.0.1 --directory "$1" >/dev/null 2>&1 &
    SERVERS+=($!)
    URL=http://127.0.0.1:$port
    for _ in $(seq 50); do
        python3 -c "import urllib.request; urllib.request.urlopen('$URL/')" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "FAIL: no server for $1"
    return 1
}

# The repository served whole: the page, and the script beside it for ?script=.
if serve .; then
    node tests/e2e/web/e2e.js "$URL/$SITE" . build-ci/kawauo-sim | tee "$WORK/log"
    build-ci/kawauo-sim --shots "$WORK/sim" tests/e2e/web/agreement.sim >/dev/null
    node tests/e2e/web/agreement.js "$URL/$SITE" /tests/e2e/web/agreement.sim "$WORK/sim" | tee -a "$WORK/log"
    node tests/e2e/web/pacing.js "$URL/$SITE" | tee -a "$WORK/log"
    node tests/e2e/web/pads.js "$URL/$SITE" | tee -a "$WORK/log"
    node tests/e2e/web/script.js "$URL/$SITE" | tee -a "$WORK/log"
    node tests/e2e/web/choices.js "$URL/$SITE" . build-ci/kawauo-sim | tee -a "$WORK/log"
    node tests/e2e/web/share.js "$URL/$SITE" . build-ci/kawauo-sim | tee -a "$WORK/log"
    node tests/e2e/web/loading.js "$URL/$SITE" "$SITE" | tee -a "$WORK/log"
    node tests/e2e/web/startup.js "$URL/$SITE" | tee -a "$WORK/log"
    node tests/e2e/web/phones.js "$URL/$SITE" | tee -a "$WORK/log"
    node tests/e2e/web/player.js "$URL/$SITE" | tee -a "$WORK/log"
fi
# The page's deflate gives zlib's bytes: the kept runs' links as kawauo-sim makes them.
node tests/e2e/web/deflate.js $(for run in tests/replays/*.rec; do build-ci/kawauo-sim --link "$run"; done) |
    tee -a "$WORK/log"

# A bundle without the title picture, and what kawauo-sim says for the same pictures.
mkdir -p "$WORK/missing/bmp" "$WORK/broken"
cp bmp/*.bmp "$WORK/missing/bmp/" && rm "$WORK/missing/bmp/opn.bmp"
cp -r "$SITE"/* "$WORK/broken/"
pack_pictures() {
    cmake -DPACKAGER=/usr/share/emscripten/tools/file_packager -DPICTURES="$1" -DSITE="$2" \
        -P hosts/web/pictures.cmake >/dev/null 2>&1
}
pack_pictures "$WORK/missing/bmp" "$WORK/broken"
cmake -DSITE="$WORK/broken" -DVERSION=missing -DSOURCE=hosts/web -P hosts/web/bundle.cmake
# Beside it, in none/, a bundle holding none of the pictures.
mkdir -p "$WORK/broken/none" "$WORK/none/bmp"
cp -r "$SITE"/* "$WORK/broken/none/" && cp bmp/opn.bmp "$WORK/none/bmp/"
pack_pictures "$WORK/none/bmp" "$WORK/broken/none"
cmake -DSITE="$WORK/broken/none" -DVERSION=none -DSOURCE=hosts/web -P hosts/web/bundle.cmake
(cd "$WORK/missing" && echo "frames 5" | "$OLDPWD/build-ci/kawauo-sim" - 2>/dev/null) |
    python3 -c 'import json, sys
boxes = [e for e in map(json.loads, sys.stdin) if e.get("event") == "messagebox"]
json.dump({"caption": boxes[0]["caption"], "text": boxes[0]["text"]}, sys.stdout)' >"$WORK/expected.json"
serve "$WORK/broken" && node tests/e2e/web/missing.js "$URL" "$WORK/expected.json" | tee -a "$WORK/log"

echo "web: $(grep -c '^ok:' "$WORK/log") passed, $(grep -c '^FAIL' "$WORK/log") failed"
! grep -q '^FAIL' "$WORK/log" && [ "$(grep -c '^web: .* 0 failed' "$WORK/log")" -eq 13 ]
