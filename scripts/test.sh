#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: a normal build, one under
# AddressSanitizer and UndefinedBehaviorSanitizer, then once more under ThreadSanitizer (the host's
# threads, events and waits); then the fuzz targets build with clang and run briefly; last, the
# libraries build as 32-bit platform DLLs, are checked and load under Wine (scripts/build-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== house style"
scripts/check-format.sh

jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== normal build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== sanitized build (address, undefined)"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELT_SANITIZE=ON -DVELT_BENCH=OFF >/dev/null
cmake --build build/sanitize -j "$jobs"
ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

echo "== sanitized build (thread)"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELT_TSAN=ON -DVELT_BENCH=OFF >/dev/null
cmake --build build/tsan -j "$jobs"
# ThreadSanitizer's runtime cannot map its shadow memory under some kernels' address randomisation:
# the tests run with randomisation off for their process tree wherever the machine allows it.
norandom=()
if setarch "$(uname -m)" -R true 2>/dev/null; then norandom=(setarch "$(uname -m)" -R); fi
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 "${norandom[@]}" ctest --test-dir build/tsan --output-on-failure -j "$jobs"

echo "== fuzz targets (clang, libFuzzer)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELT_FUZZ=ON -DVELT_TESTS=OFF \
    -DVELT_BENCH=OFF >/dev/null
cmake --build build/fuzz -j "$jobs"
ctest --test-dir build/fuzz --output-on-failure -L fuzz

echo "== cross build (32-bit platform DLLs, checked and loaded under Wine)"
scripts/build-windows.sh
