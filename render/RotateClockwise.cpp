// The clockwise turn of a landscape page: new pixel (x', y') is old pixel (y', height - 1 - x').
// The new image is written in bands of a few rows at a time, so that both the rows being written
// and the short runs of source pixels being read stay in the cache.
#include <cstring>

#include "RasterConversion.h"

namespace {
constexpr ULONG kBandRows = 16;
}

void RotateClockwiseInto(const BYTE* image, ULONG width, ULONG height, size_t stride, BYTE* upright) {
    const size_t uprightStride = PixelStride(height);
    const size_t rowBytes = size_t{height} * 3;
    for (ULONG y2 = 0; y2 < width; ++y2) {
        std::memset(upright + y2 * uprightStride + rowBytes, 0xFF, uprightStride - rowBytes); // white padding
    }
    for (ULONG firstRow = 0; firstRow < width; firstRow += kBandRows) {
        const ULONG bandRows = width - firstRow < kBandRows ? width - firstRow : kBandRows;
        BYTE* band = upright + firstRow * uprightStride;
        for (ULONG x2 = 0; x2 < height; ++x2) {
            const BYTE* from = image + (height - 1 - x2) * stride + size_t{firstRow} * 3;
            BYTE* to = band + size_t{x2} * 3;
            for (ULONG k = 0; k < bandRows; ++k, from += 3, to += uprightStride) {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        }
    }
}
