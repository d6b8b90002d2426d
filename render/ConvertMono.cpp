// Mono conversion: grey level ((b0 + b1 + b2) / 3) >> 2 against DITHER_MONO; a dot where it is lower.
// For whole numbers, ((s / 3) >> 2) < T is the same as s < 12 T, so the sum of a pixel's bytes is
// compared with a threshold twelve times the matrix value: no division, no branch per pixel.
#include "DotPacking.h"
#include "RasterConversion.h"

namespace {

// The eight sum thresholds of one matrix row, written twice, so that eight in a row can be read from
// any column phase.
struct RowThresholds {
    uint16_t sum[16];
    explicit RowThresholds(ULONG row) {
        for (int c = 0; c < 16; ++c) {
            sum[c] = static_cast<uint16_t>(12 * DITHER_MONO[row & 7][c & 7]);
        }
    }
};

inline unsigned Dot(const BYTE* p, unsigned threshold) {
    return unsigned(p[0] + p[1] + p[2]) < threshold ? 1u : 0u;
}

inline BYTE EightDots(const BYTE* p, const uint16_t* threshold) {
    unsigned byte = 0;
    for (int c = 0; c < 8; ++c) {
        byte |= unsigned(unsigned(p[3 * c] + p[3 * c + 1] + p[3 * c + 2]) < threshold[c]) << (7 - c);
    }
    return static_cast<BYTE>(byte);
}

} // namespace

ULONG ConvertMono(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output) {
    if (pixels == nullptr || output == nullptr || rows == 0 || width == 0 || stride < size_t{width} * 3) {
        return 0;
    }
    DotCollector partial;
    BYTE* out = output;
    for (ULONG r = 0; r < rows; ++r) {
        const RowThresholds thresholds(r);
        const BYTE* row = pixels + r * stride;
        ULONG x = 0;
        // A byte begun at the end of the previous row (only when the width is not a multiple of 8).
        for (; !partial.Aligned() && x < width; ++x) {
            if (partial.Push(Dot(row + 3 * x, thresholds.sum[x & 7]))) {
                *out++ = partial.Byte();
            }
        }
        for (; x + 8 <= width; x += 8) {
            *out++ = EightDots(row + 3 * x, thresholds.sum + (x & 7));
        }
        for (; x < width; ++x) {
            if (partial.Push(Dot(row + 3 * x, thresholds.sum[x & 7]))) {
                *out++ = partial.Byte();
            }
        }
    }
    return static_cast<ULONG>(out - output);
}
