#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and fuzzes each for a bounded time; a finding fails.
source "$(dirname "$0")/lib.sh"

# clang and its runtime, libFuzzer among it, in whatever version is this release's default.
ensure_packages "${QUINDLE_RUN_PACKAGES[@]}" clang libclang-rt-dev

seconds=${QUINDLE_FUZZ_SECONDS:-60}
cd "$QUINDLE_ROOT"
fuzz_build="$QUINDLE_ROOT/build-fuzz"
cmake --preset fuzz
cmake --build --preset fuzz --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"

# Every target has a seed folder; what a run discovers goes to build-fuzz/corpus, never into the seeds.
failed=()
for seeds in "$QUINDLE_ROOT"/fuzz/corpus/*/; do
    target=$(basename "$seeds")
    mkdir -p "$fuzz_build/corpus/$target" "$fuzz_build/findings"
    echo "Fuzzing $target for ${seconds}s"
    # Rotation is per unit, so long texts only slow it down; the other targets need longer inputs.
    max_len=4096
    [ "$target" = fuzz_rot ] && max_len=512
    if "$fuzz_build/fuzz/$target" -max_total_time="$seconds" -max_len=$max_len -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$fuzz_build/findings/$target-" \
        "$fuzz_build/corpus/$target" "$seeds" >"$fuzz_build/$target.log" 2>&1; then
        grep -E '^stat::number_of_executed_units' "$fuzz_build/$target.log" || true
    else
        tail -n 40 "$fuzz_build/$target.log"
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found problems in: ${failed[*]} (inputs in $fuzz_build/findings)"
    exit 1
fi
echo "Fuzzing found nothing"
