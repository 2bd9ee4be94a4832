# A virtual X display for the real window: sourced by the e2e test and the
# pacing script. start_xvfb WxH LOG starts it, sets XVFB_PID and DISPLAY, and
# fails when it does not come up; the caller kills XVFB_PID when done.
start_xvfb() {
    local fd_file
    fd_file=$(mktemp)
    # -noreset: by default the server resets when its last client leaves, and
    # a game started during the reset is refused its connection.
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$fd_file" 2>"$2" &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
    if [ ! -s "$fd_file" ]; then
        rm -f "$fd_file"
        return 1
    fi
    export DISPLAY=":$(head -n1 "$fd_file")"
    rm -f "$fd_file"
}
