#!/usr/bin/env bash
# Installs what the 32-bit cross build and its checks need: the mingw-w64 cross compiler (with its
# binutils: objdump, windres, dlltool), llvm-rc (from llvm) and Wine with its 32-bit part from the
# i386 architecture, and the host compiler's 32-bit part (g++-multilib) for the layout check of a 32-bit
# host. Does nothing when they are all present.
set -euo pipefail
packages=(g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev llvm cmake ninja-build wine wine32:i386 g++-multilib)
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
$sudo apt-get update -q || true
install=(env DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends)
# The 32-bit libraries must match their 64-bit twins version for version. When a mirror's index of
# one architecture lags the other's (an update index that failed to download), the candidates
# differ and apt gives up: the release's own archive then has the same versions for both.
if ! "${install[@]}" "${missing[@]}"; then
    codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    [ -n "$codename" ] || exit 1
    echo "Installing from $codename alone, so that both architectures get the same versions"
    "${install[@]}" -t "$codename" "${missing[@]}"
fi
