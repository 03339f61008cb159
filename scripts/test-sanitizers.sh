#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan into build-asan/ and runs every test; any report fails.
source "$(dirname "$0")/lib.sh"

ensure_packages "${QUINDLE_RUN_PACKAGES[@]}" libgtest-dev

werror=OFF
[ "${CI:-}" = true ] && werror=ON
asan_build="$QUINDLE_ROOT/build-asan"
configure_build "$asan_build" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUINDLE_SANITIZE=address,undefined -DQUINDLE_BUILD_BENCHMARKS=OFF -DQUINDLE_WERROR=$werror
cmake --build "$asan_build" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd "$asan_build" && ctest --output-on-failure -j "${CTEST_PARALLEL_LEVEL:-2}")
