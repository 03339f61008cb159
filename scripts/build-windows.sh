#!/usr/bin/env bash
# Cross-builds Quindle for Windows x86-64 and its installer: scripts/build-windows.sh [BUILD_FOLDER]
# The installer is BUILD_FOLDER/Quindle-<version>-win64.exe (default folder: build-windows/).
source "$(dirname "$0")/windows-lib.sh"

ensure_packages "${QUINDLE_WINDOWS_PACKAGES[@]}"
build=$(realpath -m "${1:-$QUINDLE_ROOT/build-windows}")
qt=$("$QUINDLE_ROOT/scripts/build-windows-qt.sh")

werror=OFF
[ "${CI:-}" = true ] && werror=ON
# Benchmarks and tools stay on Linux; the tests are built to run under wine.
configure_build "$build" -DCMAKE_TOOLCHAIN_FILE="$QUINDLE_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="$(host_qt_cmake_dir)" -DQUINDLE_WERROR=$werror \
    -DQUINDLE_BUILD_TESTS=ON -DQUINDLE_BUILD_BENCHMARKS=OFF -DQUINDLE_BUILD_TOOLS=OFF
cmake --build "$build"
(cd "$build" && cpack -G NSIS)
ls -l "$build"/Quindle-*-win64.exe
