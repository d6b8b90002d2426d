#!/usr/bin/env bash
# The main job: installs what is missing, builds, and prints the sample receipt through the whole
# road (graphics engine, rendering driver, spooler, port monitor) to the virtual printer.
# The printer's byte stream and the pictures of the paper land in build/receipt (or $VELT_OUT);
# the host's state (registry, printers) in $VELT_HOME (default: build/receipt/home).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)"

out="${VELT_OUT:-$PWD/build/receipt}"
export VELT_HOME="${VELT_HOME:-$out/home}"
export VELT_MODULE_DIR="$PWD/build/release/lib"
mkdir -p "$out"
rm -rf "$out/preview"

build/release/bin/velt print examples/receipt.png --spool "$out/receipt.bin" --preview "$out/preview"

echo "Printer byte stream: $out/receipt.bin"
echo "Pictures of the paper: $out/preview"
echo "Host state (VELT_HOME): $VELT_HOME"
