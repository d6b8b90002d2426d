#!/usr/bin/env bash
# Installs what the 32-bit cross build and its checks need: the mingw-w64 cross compiler (with its
# binutils: objdump, windres, dlltool), llvm-rc (from llvm) and Wine with its 32-bit part from the
# i386 architecture. Does nothing when they are all present.
set -euo pipefail
packages=(g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev llvm cmake ninja-build wine wine32:i386)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
