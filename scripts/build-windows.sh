#!/usr/bin/env bash
# Cross-builds Quindle for Windows x86-64 and its installer with the windows preset:
# scripts/build-windows.sh makes build-windows/Quindle-<version>-win64.exe.
source "$(dirname "$0")/windows-lib.sh"

ensure_packages "${QUINDLE_WINDOWS_PACKAGES[@]}"
# The preset finds Qt for Windows here; that Qt knows the host tools (moc, uic, rcc) it was built with.
QUINDLE_WINDOWS_QT=$("$QUINDLE_ROOT/scripts/build-windows-qt.sh")
export QUINDLE_WINDOWS_QT

cd "$QUINDLE_ROOT"
cmake --preset windows
cmake --build --preset windows
cpack --preset windows
ls -l build-windows/Quindle-*-win64.exe
