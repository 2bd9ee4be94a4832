#!/usr/bin/env bash
# Formats every tracked C++ file by .clang-format (sim/ and tests/sim/
# keep their narrower lines by their own .clang-format).
#   scripts/format.sh          rewrites the files that need it
#   scripts/format.sh --check  changes nothing; names the files that need it and fails
# The layout is clang-format 14's: other versions break some lines otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" != --check ]; then
  "$format" -i "${files[@]}"
  exit 0
fi
unformatted=()
for f in "${files[@]}"; do
  "$format" "$f" | cmp -s - "$f" || unformatted+=("$f")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  printf 'not formatted (run scripts/format.sh):\n'
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
