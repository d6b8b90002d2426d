#!/usr/bin/env bash
# Installs the Debian packages that building and testing need; does nothing when they are all present.
set -euo pipefail
packages=(cmake ninja-build g++ clang llvm libclang-rt-dev pkg-config
          libgtest-dev libgmock-dev googletest libbenchmark-dev libsqlite3-dev libpng-dev
          libcli11-dev nlohmann-json3-dev clang-format)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
