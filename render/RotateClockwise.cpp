// The clockwise turn of a landscape page: new pixel (x', y') is old pixel (y', height - 1 - x').
#include <cstring>

#include "RasterConversion.h"

void RotateClockwiseInto(const BYTE* image, ULONG width, ULONG height, size_t stride, BYTE* upright) {
    const size_t uprightStride = PixelStride(height);
    std::memset(upright, 0xFF, uprightStride * width);
    for (ULONG y2 = 0; y2 < width; ++y2) {
        for (ULONG x2 = 0; x2 < height; ++x2) {
            const BYTE* from = image + (height - 1 - x2) * stride + size_t{y2} * 3;
            BYTE* to = upright + y2 * uprightStride + size_t{x2} * 3;
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}
