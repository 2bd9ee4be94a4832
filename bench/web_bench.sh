#!/usr/bin/env bash
# The web build measured in Debian's headless Chromium (bench/web_bench.js):
# the folder's size and gzipped size, the first title frame, a play frame's
# cost, the browser's processor time and the frame pacing on the page's own
# choice of canvas and with ?webgl, and a million-line ?script= (its run,
# and the longest the page goes unanswered); then first visits on a phone's
# network (bench/web_first_visit.js). Builds the `web` preset first.
# Usage: bench/web_bench.sh [PLAY_SECONDS] [LOADS]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
(cd tests/e2e/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error >/dev/null)
SITE=build-web/site
echo "folder: $(du -sb "$SITE" | cut -f1) bytes, $(tar cf - -C "$SITE" . | gzip -9 | wc -c) gzipped (tar of the folder)"
# Served: the site, and beside it a script of a million lines, every event
# of which the game hears in one frame.
served=$(mktemp -d)
ln -s "$PWD/$SITE" "$served/site"
awk 'BEGIN { print "seed 7\nframes 2"; for (i = 0; i < 499998; ++i) print "down LEFT\nup LEFT"; print "frames 2" }' \
    >"$served/long.sim"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$served" >/dev/null 2>&1 &
server=$!
trap 'kill $server; rm -rf "$served"' EXIT
for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/site/')" 2>/dev/null && break
    sleep 0.1
done
NODE_PATH=$PWD/tests/e2e/web/node_modules node bench/web_bench.js "http://127.0.0.1:$port/site" /long.sim "$@"
NODE_PATH=$PWD/tests/e2e/web/node_modules node bench/web_first_visit.js "http://127.0.0.1:$port/site/index.html"
