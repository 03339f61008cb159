# Sourced by the end-to-end scripts: a private Xvfb, windows found by exact name, clean-up on exit.
# The caller sets `trap x11_cleanup EXIT` (or calls it from its own trap).
# shellcheck shell=bash disable=SC2034

QUINDLE_X11_PACKAGES=(xvfb xdotool xclip)

x11_work=
x11_xvfb_pid=
x11_pids=()
x11_passed=0

x11_fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "${x11_work:-/nonexistent}"/*.log; do
        [ -s "$log" ] && { echo "--- ${log##*/}:" && tail -n 20 "$log"; } >&2
    done
    exit 1
}

x11_pass() {
    echo "ok: $*"
    x11_passed=$((x11_passed + 1))
}

# x11_wait SECONDS COMMAND...: true once COMMAND succeeds, false when the time is up.
x11_wait() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Starts Xvfb on a display number it picks itself, so parallel runs never collide, and exports DISPLAY.
# Without -noreset the server resets whenever its last client leaves and refuses newcomers meanwhile.
x11_start() {
    x11_work=$(mktemp -d "${TMPDIR:-/tmp}/quindle-e2e.XXXXXX")
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$x11_work/display" 2>"$x11_work/xvfb.log" &
    x11_xvfb_pid=$!
    x11_wait 20 test -s "$x11_work/display" || {
        cat "$x11_work/xvfb.log" >&2
        x11_fail "Xvfb did not start"
    }
    DISPLAY=":$(cat "$x11_work/display")"
    export DISPLAY
    unset WAYLAND_DISPLAY QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI
    export QT_QPA_PLATFORM=xcb
}

# x11_launch LOG PROGRAM [ARGS...]: starts a program on the private display; its pid is in x11_last_pid.
x11_launch() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 &
    x11_last_pid=$!
    x11_pids+=("$x11_last_pid")
}

# x11_stop PID: ends a process started here and waits for it.
x11_stop() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

x11_cleanup() {
    local pid
    for pid in "${x11_pids[@]}"; do
        x11_stop "$pid"
    done
    x11_pids=()
    [ -n "$x11_xvfb_pid" ] && x11_stop "$x11_xvfb_pid"
    x11_xvfb_pid=
    [ -n "$x11_work" ] && rm -rf "$x11_work"
    x11_work=
}

# Prints the id of the visible window whose title is exactly NAME; false if there is none.
x11_window() {
    local pattern
    pattern="^$(printf '%s' "$1" | sed 's/[][\.*^$?+(){}|/]/\\&/g')\$"
    xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 | grep .
}

# x11_expect_start GOOD BAD SECONDS: waits for a window titled GOOD, failing at once if one titled BAD
# shows first; then makes sure BAD stays away a little longer. Prints GOOD's window id.
x11_expect_start() {
    local good=$1 bad=$2 seconds=$3 deadline=$((SECONDS + $3)) wid=
    until wid=$(x11_window "$good"); do
        x11_window "$bad" >/dev/null && x11_fail "a window \"$bad\" appeared instead of \"$good\""
        [ "$SECONDS" -lt "$deadline" ] || x11_fail "no window \"$good\" within $seconds s"
        sleep 0.1
    done
    if x11_wait 2 x11_window "$bad" >/dev/null; then
        x11_fail "a window \"$bad\" appeared beside \"$good\""
    fi
    echo "$wid"
}
