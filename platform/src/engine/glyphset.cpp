// Glyph sets: which Unicode characters a single-byte code page reaches, and the glyph handle of
// each (the byte value). The set is one EngAllocMem block, released with EngFreeMem.
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include <winbase.h>
#include <winddi.h>
#include "kernel/internal.h"

namespace {

// Code page 0 is the host's ANSI code page (1252), 1 its OEM code page (437).
int ActualCodePage(INT codePage) {
    if (codePage == 0) return 1252;
    if (codePage == 1) return 437;
    return codePage;
}

// The Unicode character of each byte value; bytes the code page leaves undefined map to the
// control character of the same number, as the platform's conversion does.
bool ByteToUnicode(int codePage, WCHAR (&map)[256]) {
    char name[16];
    std::snprintf(name, sizeof name, "CP%d", codePage);
    iconv_t cd = iconv_open("UTF-16LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[4] = {};
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        bool single = done != static_cast<size_t>(-1) && inLeft == 0 && sizeof out - outLeft == 2;
        map[b] = single ? static_cast<WCHAR>(out[0] | (out[1] << 8)) : static_cast<WCHAR>(b);
    }
    iconv_close(cd);
    return true;
}

} // namespace

extern "C" {

FD_GLYPHSET* EngComputeGlyphSet(INT codePage, INT firstChar, INT chars) {
    return host::Guarded<FD_GLYPHSET*>(nullptr, [&]() -> FD_GLYPHSET* {
        if (firstChar < 0 || chars <= 0 || firstChar > 256 - chars) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        WCHAR map[256];
        if (!ByteToUnicode(ActualCodePage(codePage), map)) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return nullptr;
        }

        // (character, glyph handle) in character order; a character reached twice keeps its first byte.
        std::vector<std::pair<WCHAR, HGLYPH>> glyphs;
        for (INT b = firstChar; b < firstChar + chars; ++b) glyphs.emplace_back(map[b], static_cast<HGLYPH>(b));
        std::stable_sort(glyphs.begin(), glyphs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        glyphs.erase(
            std::unique(glyphs.begin(), glyphs.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
            glyphs.end());

        // Runs of consecutive characters.
        std::vector<std::pair<WCHAR, USHORT>> runs;
        for (size_t i = 0; i < glyphs.size(); ++i) {
            if (i > 0 && glyphs[i].first == glyphs[i - 1].first + 1)
                ++runs.back().second;
            else
                runs.emplace_back(glyphs[i].first, 1);
        }

        // The record, its runs and the handles they point to, in one block.
        size_t head = offsetof(FD_GLYPHSET, awcrun) + runs.size() * sizeof(WCRUN);
        size_t handlesAt = (head + alignof(HGLYPH) - 1) / alignof(HGLYPH) * alignof(HGLYPH);
        size_t total = handlesAt + glyphs.size() * sizeof(HGLYPH);
        auto* set = static_cast<FD_GLYPHSET*>(EngAllocMem(FL_ZERO_MEMORY, static_cast<ULONG>(total), 0));
        if (!set) return nullptr;
        auto* handles = reinterpret_cast<HGLYPH*>(reinterpret_cast<BYTE*>(set) + handlesAt);
        set->cjThis = static_cast<ULONG>(total);
        set->flAccel = GS_8BIT_HANDLES;
        set->cGlyphsSupported = static_cast<ULONG>(glyphs.size());
        set->cRuns = static_cast<ULONG>(runs.size());
        size_t next = 0;
        for (size_t r = 0; r < runs.size(); ++r) {
            WCRUN& run = set->awcrun[r];
            run.wcLow = runs[r].first;
            run.cGlyphs = runs[r].second;
            run.phg = handles + next;
            for (USHORT g = 0; g < run.cGlyphs; ++g, ++next) handles[next] = glyphs[next].second;
        }
        return set;
    });
}

} // extern "C"
