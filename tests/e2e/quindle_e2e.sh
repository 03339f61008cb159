#!/usr/bin/env bash
# Drives the real program the way a screen reader does, over the accessibility bus in a private Xvfb and
# D-Bus session, once at the normal scale and once at twice it.
# Usage: tests/e2e/quindle_e2e.sh PATH/TO/quindle   (its wordlist.txt must sit beside it)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x11.sh"

[ $# -eq 1 ] || x11_fail "usage: $0 PATH/TO/quindle"
program=$(realpath "$1")
[ -x "$program" ] || x11_fail "$program is not an executable"
[ -f "$(dirname "$program")/wordlist.txt" ] || x11_fail "no wordlist.txt beside $program"

trap x11_cleanup EXIT
x11_start
# The accessibility bus, its socket and the screen-reader switch the suite turns on stay in the suite's
# own folder, never in this machine's user settings.
export GSETTINGS_BACKEND=memory XDG_RUNTIME_DIR="$x11_work/runtime" XDG_CACHE_HOME="$x11_work/cache" \
    XDG_CONFIG_HOME="$x11_work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
passed=0
failed=0
for scale in 1 2; do
    work="$x11_work/scale$scale"
    mkdir "$work"
    # Debian's own Python, where python3-pyatspi lives, whatever else is first on the PATH.
    # The registry greets on the standard output it inherits.
    QT_SCALE_FACTOR=$scale dbus-run-session -- /usr/bin/python3 "$here/quindle_atspi.py" "$program" "$work" \
        2>"$work/stderr.log" | grep -v '^SpiRegistry daemon is running' || true
    read -r scale_passed scale_failed <"$work/counts" 2>/dev/null || scale_failed=1
    if [ "${scale_failed:-1}" -ne 0 ]; then
        cp "$work"/*.log "$x11_work/" 2>/dev/null || true
    fi
    passed=$((passed + ${scale_passed:-0}))
    failed=$((failed + ${scale_failed:-1}))
done
[ "$failed" -eq 0 ] || x11_fail "e2e: $passed passed, $failed failed"
echo "e2e: $passed passed, 0 failed"
