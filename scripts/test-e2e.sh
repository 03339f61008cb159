#!/usr/bin/env bash
# Installs the X11 test tools and drives a built program in a private Xvfb.
# Usage: scripts/test-e2e.sh [PATH/TO/quindle]   (default: build/quindle)
source "$(dirname "$0")/lib.sh"
source "$QUINDLE_ROOT/tests/e2e/x11.sh"

ensure_packages "${QUINDLE_X11_PACKAGES[@]}" fonts-wine
exec "$QUINDLE_ROOT/tests/e2e/quindle_e2e.sh" "${1:-$QUINDLE_BUILD/quindle}"
