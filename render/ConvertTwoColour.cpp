// Two-colour conversion: each byte of a pixel reduced to six bits and lit when above the
// DITHER_TWO_COLOUR threshold T; none lit is black, all lit white, anything between colour.
// (b >> 2) > T is b > 4 T + 3, so a pixel is black when its largest byte is at most 4 T + 3 and
// not white (first plane) when its smallest byte is: two comparisons, no branch per pixel.
#include <array>

#include "DotPacking.h"
#include "RasterConversion.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TWO_COLOUR_SSE2 1
#endif

namespace {

struct RowThresholds {
    uint8_t byte[16]; // 4 T + 3 for the row's eight columns, written twice (any column phase)
    explicit RowThresholds(ULONG row) {
        for (int c = 0; c < 16; ++c) {
            byte[c] = static_cast<uint8_t>(4 * DITHER_TWO_COLOUR[row & 7][c & 7] + 3);
        }
    }
};

inline BYTE Smallest(const BYTE* p) {
    BYTE m = p[0] < p[1] ? p[0] : p[1];
    return m < p[2] ? m : p[2];
}

inline BYTE Largest(const BYTE* p) {
    BYTE m = p[0] > p[1] ? p[0] : p[1];
    return m > p[2] ? m : p[2];
}

// Writes the first-plane byte and the second-plane byte of eight pixels.
inline void EightDots(const BYTE* p, const uint8_t* threshold, BYTE* out) {
    uint8_t first[8];
    uint8_t second[8];
    for (int c = 0; c < 8; ++c) {
        first[c] = static_cast<uint8_t>(Smallest(p + 3 * c) <= threshold[c]);
        second[c] = static_cast<uint8_t>(Largest(p + 3 * c) <= threshold[c]);
    }
    out[0] = PackEightFlags(first);
    out[1] = PackEightFlags(second);
}

#if TWO_COLOUR_SSE2
// Four pixels' twelve "byte at most its threshold" bits (three a pixel, first pixel lowest) to their
// dots: first plane (any byte at most) in the high nibble, second plane (all three) in the low one,
// first pixel in the nibble's top bit.
constexpr std::array<uint8_t, 4096> MakeFourPixelTable() {
    std::array<uint8_t, 4096> table{};
    for (unsigned bits = 0; bits < 4096; ++bits) {
        unsigned first = 0;
        unsigned second = 0;
        for (unsigned k = 0; k < 4; ++k) {
            const unsigned pixel = (bits >> (3 * k)) & 7;
            first = (first << 1) | (pixel != 0 ? 1u : 0u);
            second = (second << 1) | (pixel == 7 ? 1u : 0u);
        }
        table[bits] = static_cast<uint8_t>(first << 4 | second);
    }
    return table;
}
constexpr std::array<uint8_t, 4096> kFourPixels = MakeFourPixelTable();

// Sixteen pixels (48 bytes) at a time: every byte compared with its pixel's threshold at once, the
// 48 answers gathered into a mask, and the mask turned into dots four pixels at a time. Returns the
// pixels done; the thresholds start at column phase `phase`.
ULONG SixteenAtATime(const BYTE* row, ULONG pixels, unsigned phase, const uint8_t* rowThresholds, BYTE*& out) {
    alignas(16) uint8_t pattern[48];
    for (int j = 0; j < 48; ++j) {
        pattern[j] = rowThresholds[(phase + j / 3) & 7];
    }
    const __m128i t0 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern));
    const __m128i t1 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 16));
    const __m128i t2 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 32));
    auto atMost = [](__m128i bytes, __m128i threshold) -> uint64_t {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(bytes, threshold), bytes)));
    };
    ULONG done = 0;
    for (; done + 16 <= pixels; done += 16, row += 48, out += 4) {
        const uint64_t mask = atMost(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row)), t0) |
                              atMost(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 16)), t1) << 16 |
                              atMost(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 32)), t2) << 32;
        const uint8_t q0 = kFourPixels[mask & 4095];
        const uint8_t q1 = kFourPixels[(mask >> 12) & 4095];
        const uint8_t q2 = kFourPixels[(mask >> 24) & 4095];
        const uint8_t q3 = kFourPixels[(mask >> 36) & 4095];
        out[0] = static_cast<BYTE>((q0 & 0xF0) | (q1 >> 4));
        out[1] = static_cast<BYTE>((q0 << 4) | (q1 & 0x0F));
        out[2] = static_cast<BYTE>((q2 & 0xF0) | (q3 >> 4));
        out[3] = static_cast<BYTE>((q2 << 4) | (q3 & 0x0F));
    }
    return done;
}
#endif

} // namespace

ULONG ConvertTwoColour(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output) {
    if (pixels == nullptr || output == nullptr || rows == 0 || width == 0 || stride < size_t{width} * 3) {
        return 0;
    }
    // Dots of a run of eight that crosses the end of a row; the two planes are collected side by side.
    DotCollector first;
    DotCollector second;
    BYTE* out = output;
    auto push = [&](const BYTE* p, uint8_t threshold) {
        second.Push(Largest(p) <= threshold ? 1u : 0u);
        if (first.Push(Smallest(p) <= threshold ? 1u : 0u)) {
            *out++ = first.Byte();
            *out++ = second.Byte();
        }
    };
    for (ULONG r = 0; r < rows; ++r) {
        const RowThresholds thresholds(r);
        const BYTE* row = pixels + r * stride;
        ULONG x = 0;
        for (; !first.Aligned() && x < width; ++x) {
            push(row + 3 * x, thresholds.byte[x & 7]);
        }
#if TWO_COLOUR_SSE2
        x += SixteenAtATime(row + 3 * x, width - x, x & 7, thresholds.byte, out);
#endif
        for (; x + 8 <= width; x += 8, out += 2) {
            EightDots(row + 3 * x, thresholds.byte + (x & 7), out);
        }
        for (; x < width; ++x) {
            push(row + 3 * x, thresholds.byte[x & 7]);
        }
    }
    // A run of eight that the page does not complete is not written, and not counted.
    return static_cast<ULONG>(out - output);
}
