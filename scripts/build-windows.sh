#!/usr/bin/env bash
# The cross build: installs what is missing, builds the libraries as 32-bit platform DLLs into
# build/windows/ (driver/ holds the DLLs and the loading program), and runs the checks:
#  - the five library folders use only the platform's API (no char16_t, u"...", host header, Host... call);
#  - each DLL's export table equals its committed list, with no decorated name, and it imports only
#    from the platform's system DLLs, the C runtime and VELTlog.dll;
#  - the layout check (tests/layout) compiles against the SDK: records, platform values, signatures;
#  - under Wine, in a temporary prefix, each DLL loads, every export is found, VELTrc.dll's every
#    resource reads back with the compiled script's bytes, and what VELTrc.dll and VELTlog.dll give
#    (every resource and string, the log files after a rotation and a size limit) equals what the
#    host build's libraries give (windows_host_reference of the host build).
# Every check runs even when an earlier one failed; the script exits 1 if any failed.
# VELT_WINDOWS_OUT chooses another build folder, VELT_HOST_BUILD the host build (build/release).
set -uo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="${VELT_WINDOWS_OUT:-$root/build/windows}"
failures=()

scripts/install-windows-deps.sh || exit 1

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# The same top CMakeLists.txt as the host build, with the cross toolchain (the preset "windows").
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      --toolchain "$root/cmake/toolchains/i686-w64-mingw32.cmake" "${launcher[@]}" >/dev/null || exit 1
# -k 0: every target that can be built is built, so the checks below see as much as there is.
cmake --build "$out" -j2 -- -k 0 || failures+=("build")
# The DLLs this build makes: VELT_WINDOWS_DLLS of cmake/velt_windows.cmake.
mapfile -t dlls < "$out/dlls.txt"

platform/windows-checks/check-no-host-api.sh "$root" || failures+=("platform API only")

# The layout check on a 32-bit host: the host's stand-ins with 32-bit pointers (the cross build has
# compiled it against the SDK, the host build for 64 bits).
if g++ -std=c++20 -m32 -fsyntax-only -Wall -Wextra -Werror -I platform/include -I platform/sdk \
       -I Common/UI/NTInf -I Common/owners -I monitor -I log tests/layout/platform_layout_check.cpp; then
    echo "ok: the layout check holds on a 32-bit host"
else
    failures+=("32-bit host layout")
fi

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

# The table check's own test: it must report a DLL with a decorated export and a stray import.
if [ -f "$out/cases/bad_tables.dll" ]; then
    said="$(VELT_EXPORT_LISTS="$root/tests/windows/cases/tables" \
            platform/windows-checks/check-dll-tables.sh i686-w64-mingw32-objdump "$out/cases/bad_tables.dll")"
    if [ $? -eq 1 ] && grep -q 'decorated exports: Decorated@4 _Z7Mangledi' <<<"$said" &&
       grep -q 'exports differ' <<<"$said" && grep -q 'imports from outside the platform: WS2_32.DLL' <<<"$said"; then
        echo "ok: the table check reports a decorated export and a stray import"
    else
        echo "FAILED: the table check let a bad DLL through: $said"
        failures+=("table check's own test")
    fi
else
    failures+=("table check's own test")
fi

# The host's reference: what the host build's VELTrc and VELTlog give, in the same text form
# (tests/windows/reference_dump.h). VELT_HOST_BUILD chooses the host build (default build/release).
host="${VELT_HOST_BUILD:-$root/build/release}"
reference="$out/host_reference.txt"
rm -f "$reference"
if [ ! -f "$host/CMakeCache.txt" ]; then
    cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null || failures+=("host build")
fi
if cmake --build "$host" -j2 --target windows_host_reference >/dev/null; then
    VELT_MODULE_DIR="$host/lib" VELT_HOME="$out/host_reference_home" \
        "$host/bin/windows_host_reference" "$host/resources/VELTrc.res" "$reference" || failures+=("host reference")
else
    failures+=("host reference")
fi

if [ -f "$out/driver/load_dlls_test.exe" ]; then
    # A prefix of its own, made quietly: no display, no Mono or Gecko installer, no menu entries.
    prefix="$(mktemp -d "${TMPDIR:-/tmp}/velt-wine.XXXXXX")"
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    wineboot -i >/dev/null 2>&1
    loaded="$out/wine_reference.txt"
    rm -f "$loaded"
    wine "$out/driver/load_dlls_test.exe" "$(winepath -w "$out/driver")" \
         "$(winepath -w "$root/platform/windows-checks/exports")" "$(winepath -w "$out/resources/VELTrc.res")" \
         "$(winepath -w "$loaded")" "${dlls[@]}" 2>/dev/null | tr -d '\r' || failures+=("Wine")
    # Every resource, string and log file the DLLs give under the platform's loader, as the host gives it.
    if [ -f "$reference" ] && [ -f "$loaded" ] && cmp -s "$reference" "$loaded"; then
        echo "ok: VELTrc.dll and VELTlog.dll give what the host build gives ($(wc -l < "$reference") lines)"
    else
        echo "FAILED: the DLLs under Wine differ from the host build (< host, > Wine):"
        diff <(cut -c1-160 "$reference" 2>/dev/null) <(cut -c1-160 "$loaded" 2>/dev/null) | head -20
        failures+=("same as the host")
    fi
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
