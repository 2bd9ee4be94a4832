#!/usr/bin/env bash
# Builds kawauo and runs every test: once as built for players (warnings as
# errors), once under AddressSanitizer and UndefinedBehaviorSanitizer; the
# Windows build under Wine, the web build; the .deb installed, played and
# purged, and the game built on a minimal Debian; then a minute of each
# libFuzzer target.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${KAWAUO_GAME_PACKAGES[@]}" "${KAWAUO_TEST_PACKAGES[@]}"
scripts/house_rules.sh
scripts/ci_lint.sh
for preset in ci sanitize; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" --parallel 2
done
scripts/ci_windows.sh
scripts/ci_web.sh
scripts/ci_package.sh
echo "== fuzz"
scripts/ci_fuzz.sh
