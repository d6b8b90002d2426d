#!/usr/bin/env bash
# The main job: installs what is missing, builds, and shows the state of the installation.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)"
echo "Built libraries:"
ls build/release/lib
