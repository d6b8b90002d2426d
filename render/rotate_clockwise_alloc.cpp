// The clockwise turn into a block of its own, as the band capture of a landscape page uses it.
#include <cstdint>

#include "raster_conversion.h"

velt::HeapBlock RotateClockwise(const BYTE* image, ULONG width, ULONG height, size_t stride) {
    if (image == nullptr || width == 0 || height == 0 || stride < size_t{width} * 3) {
        return nullptr;
    }
    const size_t uprightStride = PixelStride(height);
    if (uprightStride > SIZE_MAX / width) {
        return nullptr;
    }
    velt::HeapBlock upright = velt::HeapAllocate(0, uprightStride * width);
    if (upright) {
        RotateClockwiseInto(image, width, height, stride, upright.get());
    }
    return upright;
}
