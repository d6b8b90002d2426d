#!/usr/bin/env bash
# Checks that the five libraries (and the owners header they share) are written against the platform's
# API only, so that the same text
# builds against the SDK: no char16_t, u"..." or u'...' literals, wchar_t, std::wstring or libc wide
# functions (WCHAR, LPCWSTR and TEXT() instead), no host-only header and no Host... call.
# Usage: check-no-host-api.sh [SOURCE_ROOT]   (prints every offending line; exits 1 if there is one)
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
folders=(render log Common/UI/NTInf monitor resources Common/owners)
patterns=(
    'char16_t'
    '(^|[^A-Za-z0-9_])u8?"'
    "(^|[^A-Za-z0-9_])u'"
    'wchar_t|std::wstring|std::wstring_view'
    '(^|[^A-Za-z0-9_])(wcs[a-z]+|wmem[a-z]+|swprintf|wprintf)[[:space:]]*\('
    '#[[:space:]]*include[[:space:]]*[<"]host/'
    '(^|[^A-Za-z0-9_])Host[A-Z][A-Za-z0-9_]*[[:space:]]*\('
)
found=0
for folder in "${folders[@]}"; do
    while IFS= read -r -d '' file; do
        for pattern in "${patterns[@]}"; do
            if hits="$(grep -n -E -- "$pattern" "$file")"; then
                found=1
                sed "s|^|${file#"$root"/}:|" <<<"$hits"
            fi
        done
    done < <(find "$root/$folder" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.rc' \) -print0 | sort -z)
done
if [ $found -eq 0 ]; then
    echo "ok: the libraries use only the platform's API"
fi
exit $found
