#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from the house style in .clang-format, naming each one.
# With --fix, rewrites the files in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${sources[@]}"
    exit 0
fi
if ! clang-format --dry-run -Werror "${sources[@]}" 2>/tmp/velt-format.$$; then
    grep -o '^[^:]*:[0-9]*:[0-9]*: error' /tmp/velt-format.$$ | cut -d: -f1 | sort -u | sed 's/^/format differs: /' >&2
    rm -f /tmp/velt-format.$$
    echo "run scripts/check-format.sh --fix to apply the house style" >&2
    exit 1
fi
rm -f /tmp/velt-format.$$
echo "format: ${#sources[@]} files match the house style"
