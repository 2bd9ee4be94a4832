#!/bin/sh
# The game's texts need no font on the machine: kawauo-sim in a mount
# namespace with the font folders hidden under empty tmpfs mounts makes the
# same shots (title, play with its HUD, a move's message) as with them.
# Usage: hidden_fonts.sh KAWAUO_SIM SOURCE_DIR   (exit 77: skipped)
set -eu
sim=${1:?usage: hidden_fonts.sh KAWAUO_SIM SOURCE_DIR}
cd "${2:?usage: hidden_fonts.sh KAWAUO_SIM SOURCE_DIR}"   # the game reads ./bmp
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/script.txt" <<'SCRIPT'
seed 7
frames 3
shot title
down SPACE
frames 1
up SPACE
frames 30
shot play
down F1
frames 4
shot move
up F1
frames 60
shot later
SCRIPT

fonts=/usr/share/fonts
if [ "$(id -u)" -ne 0 ] || ! unshare -m true 2>/dev/null; then
    echo "hidden fonts: needs root and mount namespaces: skipped"
    exit 77
fi
mkdir "$work/seen" "$work/hidden"
"$sim" --shots "$work/seen" "$work/script.txt" >/dev/null
unshare -m sh -c '
    mount -t tmpfs none "$1" && [ -z "$(ls -A "$1")" ] || exit 3
    exec "$2" --shots "$3" "$4" >/dev/null' hide "$fonts" "$sim" "$work/hidden" "$work/script.txt"

passed=0 failed=0
for shot in title play move later; do
    if cmp -s "$work/seen/$shot.png" "$work/hidden/$shot.png"; then
        passed=$((passed + 1))
    else
        echo "hidden fonts: $shot.png differs without $fonts"
        failed=$((failed + 1))
    fi
done
echo "hidden fonts: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
