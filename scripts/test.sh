#!/usr/bin/env bash
# Installs what is missing, builds everything into build/ and runs every test.
source "$(dirname "$0")/lib.sh"

ensure_packages "${QUINDLE_RUN_PACKAGES[@]}" "${QUINDLE_TEST_PACKAGES[@]}"

cd "$QUINDLE_ROOT"
# The same folder as scripts/run.sh's release preset, with the tests, benchmarks and tools switched on.
cmake --preset default
cmake --build --preset default
ctest --preset default
"$QUINDLE_ROOT/scripts/check-format.sh"
"$QUINDLE_ROOT/scripts/test-e2e.sh" "$QUINDLE_BUILD/quindle"
"$QUINDLE_ROOT/scripts/test-package.sh"
"$QUINDLE_ROOT/scripts/test-sanitizers.sh"
"$QUINDLE_ROOT/scripts/test-fuzz.sh"
# Reached only when every stage above passed (the script stops at the first failure).
echo "test stages: 6 passed, 0 failed"
