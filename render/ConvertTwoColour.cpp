// Two-colour conversion: each byte of a pixel reduced to six bits and lit when above the
// DITHER_TWO_COLOUR threshold; none lit is black, all lit white, anything between colour.
#include "RasterConversion.h"

ULONG ConvertTwoColour(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output) {
    if (pixels == nullptr || output == nullptr || rows == 0 || width == 0 || stride < size_t{width} * 3) {
        return 0;
    }
    BYTE* out = output;
    unsigned first = 0;
    unsigned second = 0;
    unsigned count = 0;
    for (ULONG r = 0; r < rows; ++r) {
        const BYTE* p = pixels + r * stride;
        for (ULONG x = 0; x < width; ++x, p += 3) {
            unsigned threshold = DITHER_TWO_COLOUR[r & 7][x & 7];
            unsigned lit = ((p[0] >> 2) > threshold) + ((p[1] >> 2) > threshold) + ((p[2] >> 2) > threshold);
            first = (first << 1) | (lit < 3 ? 1u : 0u);
            second = (second << 1) | (lit == 0 ? 1u : 0u);
            if (++count == 8) {
                *out++ = static_cast<BYTE>(first);
                *out++ = static_cast<BYTE>(second);
                first = second = count = 0;
            }
        }
    }
    return static_cast<ULONG>(out - output);
}
