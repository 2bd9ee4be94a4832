#!/usr/bin/env bash
# Builds kawauo and runs every test: once as built for players (warnings as
# errors), once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${KAWAUO_GAME_PACKAGES[@]}" "${KAWAUO_TEST_PACKAGES[@]}"
for preset in ci sanitize; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" --parallel 2
done
