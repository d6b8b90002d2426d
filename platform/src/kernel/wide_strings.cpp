// The platform's lstr* helpers on UTF-16 strings. Comparisons are ordinal (lstrcmpiW on the
// platform's case folding); a null string reads as empty, as the platform tolerates it.
#include <algorithm>

#include <winbase.h>
#include "kernel/internal.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

template <typename Map>
int Compare(LPCWSTR a, LPCWSTR b, Map map) {
    const std::u16string_view x = host::View(a), y = host::View(b);
    const size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
        const int d = static_cast<int>(map(x[i])) - static_cast<int>(map(y[i]));
        if (d != 0) return Sign(d);
    }
    return Sign(static_cast<int>(x.size()) - static_cast<int>(y.size()));
}

} // namespace

extern "C" {

int lstrlenW(LPCWSTR s) { return static_cast<int>(host::View(s).size()); }

LPWSTR lstrcpyW(LPWSTR to, LPCWSTR from) {
    if (!to) return nullptr;
    const std::u16string_view src = host::View(from);
    std::copy(src.begin(), src.end(), to);
    to[src.size()] = 0;
    return to;
}

LPWSTR lstrcpynW(LPWSTR to, LPCWSTR from, int max) {
    if (!to || max <= 0) return to;
    const std::u16string_view src = host::View(from);
    const size_t n = std::min(src.size(), static_cast<size_t>(max - 1));
    std::copy(src.begin(), src.begin() + static_cast<std::ptrdiff_t>(n), to);
    to[n] = 0;
    return to;
}

LPWSTR lstrcatW(LPWSTR to, LPCWSTR from) {
    if (!to) return nullptr;
    lstrcpyW(to + lstrlenW(to), from);
    return to;
}

int lstrcmpW(LPCWSTR a, LPCWSTR b) {
    return Compare(a, b, [](char16_t c) { return c; });
}

int lstrcmpiW(LPCWSTR a, LPCWSTR b) { return Compare(a, b, host::FoldChar); }

} // extern "C"
