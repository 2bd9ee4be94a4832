#!/usr/bin/env bash
# Builds kawauo and starts it with its bundled pictures.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${KAWAUO_GAME_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default --target kawauo
exec ./build/kawauo
