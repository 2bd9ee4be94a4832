#!/usr/bin/env bash
# Builds the game for the browser (the `web` preset, installing Debian's
# emscripten with apt-get when it is missing) and serves it on 127.0.0.1:
# open the address it prints. PORT=8000 by default; Ctrl+C stops it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages emscripten cmake ninja-build python3
cmake --preset web >/dev/null
cmake --build --preset web
PORT=${PORT:-8000}
echo "kawauo: open http://127.0.0.1:$PORT/ in a browser (Ctrl+C stops the server)"
exec python3 -m http.server "$PORT" --bind 127.0.0.1 --directory build-web/site
