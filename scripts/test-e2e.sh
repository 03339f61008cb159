#!/usr/bin/env bash
# Installs the X11, Wayland and accessibility test tools and drives a built program in a private Xvfb
# and a private headless sway.
# Usage: scripts/test-e2e.sh [PATH/TO/quindle]   (default: build/quindle)
source "$(dirname "$0")/lib.sh"
source "$QUINDLE_ROOT/tests/e2e/x11.sh"
source "$QUINDLE_ROOT/tests/e2e/wayland.sh"

# The accessibility bus and registry, Python's binding to them, and a D-Bus session to carry them.
ensure_packages "${QUINDLE_X11_PACKAGES[@]}" "${QUINDLE_WAYLAND_PACKAGES[@]}" fonts-wine python3-pyatspi \
    at-spi2-core dbus-daemon
exec "$QUINDLE_ROOT/tests/e2e/quindle_e2e.sh" "${1:-$QUINDLE_BUILD/quindle}"
