// Mono conversion: grey level ((b0 + b1 + b2) / 3) >> 2 against DITHER_MONO; a dot where it is lower.
#include "RasterConversion.h"

ULONG ConvertMono(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output) {
    if (pixels == nullptr || output == nullptr || rows == 0 || width == 0 || stride < size_t{width} * 3) {
        return 0;
    }
    BYTE* out = output;
    unsigned bits = 0;
    unsigned count = 0;
    for (ULONG r = 0; r < rows; ++r) {
        const BYTE* p = pixels + r * stride;
        for (ULONG x = 0; x < width; ++x, p += 3) {
            unsigned grey = ((p[0] + p[1] + p[2]) / 3) >> 2;
            bits = (bits << 1) | (grey < DITHER_MONO[r & 7][x & 7] ? 1u : 0u);
            if (++count == 8) {
                *out++ = static_cast<BYTE>(bits);
                bits = 0;
                count = 0;
            }
        }
    }
    return static_cast<ULONG>(out - output);
}
