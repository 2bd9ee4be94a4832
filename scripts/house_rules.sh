#!/usr/bin/env bash
# House rules a script can check: globals are declared extern only in their
# owner's header, only platform/ (and tools, tests, bench) talks to SDL2, and
# only the font baker and its test to FreeType or iconv (the game carries its
# font and code page tables, for machines that have neither).
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
if hits=$(git grep -n -E '^\s*extern\b' -- 'app/*.cpp' 'display/*.cpp' 'game/*.cpp' 'platform/*.cpp'); then
  echo "extern belongs in the owner's header:"; echo "$hits"; status=1
fi
if hits=$(git grep -n -E '#include *[<"](SDL|ft2build|freetype|iconv)' -- 'app/' 'display/' 'game/'); then
  echo "the game talks to the platform layer, not to its libraries:"; echo "$hits"; status=1
fi
if hits=$(git grep -n -E '#include *[<"](ft2build|freetype|iconv)' -- 'platform/'); then
  echo "the game's text needs no FreeType or iconv (baked into font/ by tools/fontbake):"; echo "$hits"; status=1
fi
[ $status -eq 0 ] && echo "house rules: 3 passed, 0 failed"
exit $status
