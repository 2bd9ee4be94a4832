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
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
# Each fuzzer from the shared seeds and what it kept last time; a crash, a
# slow input or a mismatch fails the run and leaves its input in build-fuzz/crashes.
mkdir -p build-fuzz/crashes
for fuzzer in bmp_fuzz palette_fuzz; do
  mkdir -p "build-fuzz/corpus/$fuzzer"
  if ! "build-fuzz/tests/fuzz/$fuzzer" -max_total_time=60 -timeout=10 -print_final_stats=1 \
       -artifact_prefix="build-fuzz/crashes/$fuzzer-" "build-fuzz/corpus/$fuzzer" build-fuzz/tests/fuzz/bmp_seeds \
       >"build-fuzz/$fuzzer.log" 2>&1; then
    tail -n 60 "build-fuzz/$fuzzer.log"
    echo "$fuzzer failed: build-fuzz/$fuzzer.log, build-fuzz/crashes" >&2
    exit 1
  fi
  echo "$fuzzer: $(grep -m1 '^stat::number_of_executed_units' "build-fuzz/$fuzzer.log")"
done
echo "fuzz: 2 passed, 0 failed"
