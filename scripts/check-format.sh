#!/usr/bin/env bash
# Fails when any C++ source differs from what clang-format makes of it with the checked-in .clang-format.
source "$(dirname "$0")/lib.sh"

ensure_packages clang-format

cd "$QUINDLE_ROOT"
mapfile -d '' files < <(find src tests bench fuzz tools -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
clang-format --dry-run -Werror "${files[@]}"
echo "format: ${#files[@]} files as clang-format writes them"
