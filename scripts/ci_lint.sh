#!/usr/bin/env bash
# CI stage: every tracked C++ file laid out by .clang-format, and cppcheck's
# warning, performance and portability checks clean over everything built;
# the page's JavaScript, its checks and its styles laid out by Prettier and
# clean by ESLint (npm packages as package-lock.json locks them).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${KAWAUO_LINT_PACKAGES[@]}"
passed=0 failed=0
if scripts/format.sh --check; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
# cppcheck reads every tracked source with the game's include paths; the
# generated headers are made first, since the game includes them.
cmake -S . -B build-lint -G Ninja -DKAWAUO_BENCH=OFF >/dev/null
cmake --build build-lint --target kawauo_texts >/dev/null
mapfile -t sources < <(git ls-files '*.cpp')
if cppcheck -I. -Ibuild-lint/generated --std=c++20 --language=c++ --library=googletest -j2 --quiet \
     --enable=warning,performance,portability --suppress=missingIncludeSystem --inline-suppr \
     --error-exitcode=1 --template="{file}:{line}: {severity} [{id}] {message}" "${sources[@]}"; then
  passed=$((passed + 1))
else
  echo "cppcheck: see the findings above" >&2
  failed=$((failed + 1))
fi
# The web's own tools, from npm as locked, over every tracked script and style.
command -v npm >/dev/null || ensure_packages npm
npm ci --no-audit --no-fund --loglevel=error
mapfile -t web < <(git ls-files '*.js' '*.css' '*package.json' .prettierrc.json)
if npx --no-install prettier --check "${web[@]}"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
if npx --no-install eslint --max-warnings 0 .; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
echo "lint: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
