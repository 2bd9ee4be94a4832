# Debian packages kawauo needs, and a function that installs the missing ones.
# Sourced by play.sh, test.sh and the CI stages.

KAWAUO_GAME_PACKAGES=(cmake ninja-build g++ pkg-config libsdl2-dev libpng-dev zlib1g-dev)
KAWAUO_TEST_PACKAGES=(libgtest-dev libbenchmark-dev nlohmann-json3-dev xvfb xdotool x11-utils
                      imagemagick clang libclang-rt-14-dev)
# The font baker (tools/fontbake) and its test: the game itself carries the baked font.
KAWAUO_TEST_PACKAGES+=(libfreetype-dev xfonts-shinonome xfonts-efont-unicode)
KAWAUO_PACKAGE_PACKAGES=(dpkg-dev lintian appstream desktop-file-utils debootstrap xvfb xdotool x11-utils
                         imagemagick)
# The Windows build (scripts/ci_windows.sh): MinGW-w64, its zlib, and Wine to
# test under, with the locales' sources its display languages are made from.
KAWAUO_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 xvfb xdotool x11-utils imagemagick
                         locales)

# The web build (play-web.sh, scripts/ci_web.sh): Debian's emscripten,
# zopfli for the files it stores compressed, and its Chromium to test in
# (npm, for playwright-core, comes with Node.js); pako, the page's deflate
# for a run's link.
KAWAUO_WEB_PACKAGES=(emscripten zopfli nodejs chromium python3 cmake ninja-build node-pako)

# The layout and static checks of scripts/ci_lint.sh.
KAWAUO_LINT_PACKAGES=(clang-format-14 cppcheck)

ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
