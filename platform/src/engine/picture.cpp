// Pictures handed to the engine's printing: 24-bit, top-down, B, G, R in memory.
#include <algorithm>

#include "host/engine.h"

HostPicture HostPicture::Filled(LONG width, LONG height, ULONG color) {
    HostPicture picture;
    // The stride must stay a LONG: wider pictures are refused, as an empty picture.
    if (width <= 0 || height <= 0 || width > (0x7FFFFFFF - 3) / 3) return picture;
    picture.width = width;
    picture.height = height;
    picture.stride = (width * 3 + 3) / 4 * 4;
    picture.pixels.resize(static_cast<size_t>(picture.stride) * static_cast<size_t>(height));
    picture.FillRect(0, 0, width, height, color);
    return picture;
}

ULONG HostPicture::Pixel(LONG x, LONG y) const {
    const BYTE* p = pixels.data() + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
    return p[0] | (p[1] << 8) | (static_cast<ULONG>(p[2]) << 16);
}

void HostPicture::SetPixel(LONG x, LONG y, ULONG color) {
    BYTE* p = pixels.data() + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
    p[0] = static_cast<BYTE>(color);
    p[1] = static_cast<BYTE>(color >> 8);
    p[2] = static_cast<BYTE>(color >> 16);
}

void HostPicture::FillRect(LONG left, LONG top, LONG right, LONG bottom, ULONG color) {
    left = std::max<LONG>(left, 0);
    top = std::max<LONG>(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    for (LONG y = top; y < bottom; ++y)
        for (LONG x = left; x < right; ++x) SetPixel(x, y, color);
}
