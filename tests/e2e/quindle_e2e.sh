#!/usr/bin/env bash
# Drives the real program the way a screen reader does, over the accessibility bus in a private D-Bus
# session: on X11 in a private Xvfb and on Wayland in a private headless sway, each once at the normal scale
# and once at twice it.
# Usage: tests/e2e/quindle_e2e.sh PATH/TO/quindle   (its wordlist.txt must sit beside it)
# QUINDLE_E2E_DISPLAYS picks the displays (default "x11 wayland"); QUINDLE_E2E_SHOTS names a folder that
# keeps the compositor's screenshots.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x11.sh"
source "$here/wayland.sh"

[ $# -eq 1 ] || x11_fail "usage: $0 PATH/TO/quindle"
program=$(realpath "$1")
[ -x "$program" ] || x11_fail "$program is not an executable"
[ -f "$(dirname "$program")/wordlist.txt" ] || x11_fail "no wordlist.txt beside $program"
read -r -a displays <<<"${QUINDLE_E2E_DISPLAYS:-x11 wayland}"

trap 'wayland_stop; x11_cleanup' EXIT
x11_start
# The accessibility bus, its socket and the screen-reader switch the suite turns on stay in the suite's
# own folder, never in this machine's user settings.
export GSETTINGS_BACKEND=memory XDG_RUNTIME_DIR="$x11_work/runtime" XDG_CACHE_HOME="$x11_work/cache" \
    XDG_CONFIG_HOME="$x11_work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
passed=0
failed=0
for display in "${displays[@]}"; do
    for scale in 1 2; do
        start=$SECONDS
        work="$x11_work/$display$scale"
        # Temporary files too, for the tools that put them where TMPDIR says.
        mkdir -p "$work/tmp"
        if [ "$display" = wayland ]; then
            # A compositor for each scale: the output's own scale is what a high-DPI Wayland session has.
            wayland_start "$x11_work/sway$scale" "$scale" || x11_fail "sway did not start"
            # As in a Wayland session: Qt picks its Wayland plugin itself, and there is no X server to
            # fall back on.
            session=(env -u DISPLAY -u QT_QPA_PLATFORM XDG_SESSION_TYPE=wayland
                WAYLAND_DISPLAY="$wayland_display" SWAYSOCK="$wayland_swaysock")
        else
            session=(env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale")
        fi
        # Debian's own Python, where python3-pyatspi lives, whatever else is first on the PATH.
        # The registry greets on the standard output it inherits.
        "${session[@]}" TMPDIR="$work/tmp" dbus-run-session -- /usr/bin/python3 "$here/quindle_atspi.py" \
            "$program" "$work" "$display" "$scale" 2>"$work/stderr.log" |
            grep -v '^SpiRegistry daemon is running' || true
        if [ "$display" = wayland ]; then
            wayland_stop
            if [ -n "${QUINDLE_E2E_SHOTS:-}" ] && [ -f "$work/screen.png" ]; then
                mkdir -p "$QUINDLE_E2E_SHOTS"
                cp "$work/screen.png" "$QUINDLE_E2E_SHOTS/wayland-scale$scale.png"
            fi
        fi
        read -r scale_passed scale_failed <"$work/counts" 2>/dev/null || scale_failed=1
        if [ "${scale_failed:-1}" -ne 0 ]; then
            cp "$work"/*.log "$x11_work/sway$scale"/*.log "$x11_work/" 2>/dev/null || true
        fi
        echo "e2e $display scale $scale: ${scale_passed:-0} passed, ${scale_failed:-1} failed" \
            "in $((SECONDS - start)) s"
        passed=$((passed + ${scale_passed:-0}))
        failed=$((failed + ${scale_failed:-1}))
    done
done
[ "$failed" -eq 0 ] || x11_fail "e2e: $passed passed, $failed failed"
echo "e2e: $passed passed, 0 failed"
