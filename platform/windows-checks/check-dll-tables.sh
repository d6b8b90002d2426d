#!/usr/bin/env bash
# Checks the export and import tables of cross-built DLLs:
#  - the names a DLL exports equal the committed list exports/<name>.txt, and none is decorated
#    (a stdcall "Name@12" or a C++ mangled name);
#  - a DLL imports only from the platform's system DLLs, the C runtime and VELTlog.dll
#    (allowed-imports.txt, compared without regard to case).
# Usage: check-dll-tables.sh OBJDUMP DLL...   (prints one line per DLL; exits 1 on any difference)
# VELT_EXPORT_LISTS names another folder of export lists (the check's own test).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
objdump="$1"; shift
failed=0

exports_of() { # the names of the export table, one a line, in byte order
    "$objdump" -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | LC_ALL=C sort
}
imports_of() {
    "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | LC_ALL=C sort -u
}

allowed="$(tr '[:lower:]' '[:upper:]' < "$here/allowed-imports.txt" | LC_ALL=C sort -u)"
for dll in "$@"; do
    name="$(basename "$dll" .dll)"
    expected="${VELT_EXPORT_LISTS:-$here/exports}/$name.txt"
    problems=()
    if [ ! -f "$expected" ]; then
        problems+=("no committed export list $expected")
    else
        actual="$(exports_of "$dll")"
        if [ "$actual" != "$(LC_ALL=C sort "$expected")" ]; then
            difference="$(diff <(LC_ALL=C sort "$expected") <(echo -n "$actual") | grep '^[<>]' | tr '\n' ' ' || true)"
            problems+=("exports differ (< wanted, > found): $difference")
        fi
        decorated="$(grep -E '@[0-9]+$|^_Z|^\?' <<<"$actual" || true)"
        [ -z "$decorated" ] || problems+=("decorated exports: $(tr '\n' ' ' <<<"$decorated")")
    fi
    stray="$(LC_ALL=C comm -23 <(imports_of "$dll") <(echo "$allowed"))"
    [ -z "$stray" ] || problems+=("imports from outside the platform: $(tr '\n' ' ' <<<"$stray")")
    if [ ${#problems[@]} -eq 0 ]; then
        echo "ok: $name.dll"
    else
        failed=1
        for p in "${problems[@]}"; do echo "FAILED: $name.dll: $p"; done
    fi
done
exit $failed
