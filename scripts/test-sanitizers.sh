#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan into build-asan/ and runs every test; any report fails.
source "$(dirname "$0")/lib.sh"

ensure_packages "${QUINDLE_RUN_PACKAGES[@]}" libgtest-dev

cd "$QUINDLE_ROOT"
# The test preset sets the sanitizers' options.
cmake --preset asan-ubsan
cmake --build --preset asan-ubsan --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"
ctest --preset asan-ubsan --parallel "${CTEST_PARALLEL_LEVEL:-2}"
