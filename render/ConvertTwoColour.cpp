// Two-colour conversion: each byte of a pixel reduced to six bits and lit when above the
// DITHER_TWO_COLOUR threshold T; none lit is black, all lit white, anything between colour.
// (b >> 2) > T is b > 4 T + 3, so a pixel is black when its largest byte is at most 4 T + 3 and
// not white (first plane) when its smallest byte is: two comparisons, no branch per pixel.
#include "DotPacking.h"
#include "RasterConversion.h"

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

} // namespace

ULONG ConvertTwoColour(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output) {
    if (pixels == nullptr || output == nullptr || rows == 0 || width == 0 || stride < size_t{width} * 3) {
        return 0;
    }
    // Dots of a run of eight that crosses the end of a row; the two planes are packed side by side.
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
