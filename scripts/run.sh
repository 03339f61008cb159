#!/usr/bin/env bash
# Installs what building and running Quindle needs, builds only the program into build/ and starts it.
# Exit status 2: the program was built but there is no display to show it on.
source "$(dirname "$0")/lib.sh"

ensure_packages "${QUINDLE_RUN_PACKAGES[@]}"
cd "$QUINDLE_ROOT"
cmake --preset release
cmake --build --preset release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Quindle is built at build/quindle, but it needs a graphical desktop and no display was found here."
    exit 2
fi
exec "$QUINDLE_BUILD/quindle"
