#!/usr/bin/env bash
# CI stage: every tracked C++ file laid out by .clang-format, and cppcheck's
# warning, performance and portability checks clean over everything built.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${KAWAUO_LINT_PACKAGES[@]}"
passed=0 failed=0
if scripts/format.sh --check; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
# cppcheck reads the compile commands of a configure of its own; the texts
# generator runs first since the game includes its output.
cmake -S . -B build-lint -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DKAWAUO_BENCH=OFF >/dev/null
cmake --build build-lint --target kawauo_texts >/dev/null
if cppcheck --project=build-lint/compile_commands.json --library=googletest -j2 --quiet \
     --enable=warning,performance,portability --suppress=missingIncludeSystem --inline-suppr \
     --error-exitcode=1 --template='{file}:{line}: {severity} [{id}] {message}'; then
  passed=$((passed + 1))
else
  echo "cppcheck: see the findings above" >&2
  failed=$((failed + 1))
fi
echo "lint: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
