#!/usr/bin/env bash
# The cross build: installs what is missing, builds the libraries as 32-bit platform DLLs into
# build/windows/ (driver/ holds the DLLs and the loading program), and runs the checks:
#  - the five library folders use only the platform's API (no char16_t, u"...", host header, Host... call);
#  - each DLL's export table equals its committed list, with no decorated name, and it imports only
#    from the platform's system DLLs, the C runtime and VELTlog.dll;
#  - under Wine, in a temporary prefix, each DLL loads, every export is found, VELTrc.dll's resources
#    read back with the compiled script's bytes and the log exports answer as on the host.
# Every check runs even when an earlier one failed; the script exits 1 if any failed.
# VELT_WINDOWS_OUT chooses another build folder.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="${VELT_WINDOWS_OUT:-$root/build/windows}"
# The DLLs this build makes; VELTlmon joins when its entry points exist.
dlls=(VELTlog VELTrc VELT VELTui)
failures=()

scripts/install-windows-deps.sh || exit 1

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S cmake/windows -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      --toolchain "$root/cmake/toolchains/i686-w64-mingw32.cmake" "${launcher[@]}" >/dev/null || exit 1
# -k 0: every target that can be built is built, so the checks below see as much as there is.
cmake --build "$out" -j2 -- -k 0 || failures+=("build")

platform/windows-checks/check-no-host-api.sh "$root" || failures+=("platform API only")

built=()
for name in "${dlls[@]}"; do
    if [ -f "$out/driver/$name.dll" ]; then
        built+=("$out/driver/$name.dll")
    else
        echo "FAILED: $name.dll was not built"
        failures+=("$name.dll built")
    fi
done
if [ ${#built[@]} -gt 0 ]; then
    platform/windows-checks/check-dll-tables.sh i686-w64-mingw32-objdump "${built[@]}" || failures+=("export and import tables")
fi

if [ -f "$out/driver/load_dlls_test.exe" ]; then
    # A prefix of its own, made quietly: no display, no Mono or Gecko installer, no menu entries.
    prefix="$(mktemp -d "${TMPDIR:-/tmp}/velt-wine.XXXXXX")"
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    wineboot -i >/dev/null 2>&1
    wine "$out/driver/load_dlls_test.exe" "$(winepath -w "$out/driver")" \
         "$(winepath -w "$root/platform/windows-checks/exports")" "$(winepath -w "$out/VELTrc.res")" \
         "${dlls[@]}" 2>/dev/null | tr -d '\r' || failures+=("Wine")
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rm -rf "$prefix"
else
    echo "FAILED: load_dlls_test.exe was not built"
    failures+=("Wine")
fi

if [ ${#failures[@]} -gt 0 ]; then
    echo "Cross build: failed: ${failures[*]}"
    exit 1
fi
echo "Cross build: ${dlls[*]} built and checked in $out/driver"
