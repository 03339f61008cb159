#!/usr/bin/env bash
# Installs what is missing, builds Quindle into build/ and starts it.
source "$(dirname "$0")/lib.sh"

ensure_packages "${QUINDLE_RUN_PACKAGES[@]}"
configure_build "$QUINDLE_BUILD" -DCMAKE_BUILD_TYPE=Release
cmake --build "$QUINDLE_BUILD" --target quindle

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Quindle is built at build/quindle, but it needs a graphical desktop and no display was found here."
    exit 1
fi
exec "$QUINDLE_BUILD/quindle"
