# What the check scripts share, sourced after `set -u`: a scratch folder WORK,
# removed on exit with the game (GAME_PID), a second program (OTHER_PID) and
# Xvfb (XVFB_PID) if they still run; checks counted in PASSED and FAILURES.
# A script with more to undo on exit names it in CLEANUP_MORE (a command);
# KAWAUO_E2E_KEEP=DIR keeps WORK's shots and logs for a look. The game's
# settings are kept in WORK too.
WORK=$(mktemp -d)
# A settings folder of its own: the player's settings neither used nor touched.
export XDG_CONFIG_HOME=$WORK/config
XVFB_PID=
GAME_PID=
OTHER_PID=
CLEANUP_MORE=
PASSED=0
FAILURES=0

cleanup() {
    local pid
    for pid in "$GAME_PID" "$OTHER_PID"; do [ -n "$pid" ] && kill "$pid" 2>/dev/null; done
    [ -n "$CLEANUP_MORE" ] && $CLEANUP_MORE
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "${KAWAUO_E2E_KEEP:-}" ] && cp -r "$WORK/." "$KAWAUO_E2E_KEEP/"
    rm -rf --one-file-system "$WORK"
}
trap cleanup EXIT

pass() { echo "ok: $*"; PASSED=$((PASSED + 1)); }
fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# need_tools TOOL...: without one the script is skipped (77); CI installs
# every tool, so there a missing one is a failure.
need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null && continue
        echo "SKIP: $tool is not installed"
        [ -n "${CI:-}" ] && exit 1
        exit 77
    done
}
