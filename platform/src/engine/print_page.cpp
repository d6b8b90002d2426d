#include "engine/internal.h"

#include <algorithm>
#include <cstdint>

namespace host::eng {

PictureSurface::PictureSurface(const HostPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.empty()) return;
    // The engine only reads the picture: it is the source of every drawing call.
    handle_ = reinterpret_cast<HSURF>(EngCreateBitmap({picture.width, picture.height}, picture.stride, BMF_24BPP,
                                                      BMF_TOPDOWN, const_cast<BYTE*>(picture.pixels.data())));
    if (handle_) obj_ = EngLockSurface(handle_);
}

PictureSurface::~PictureSurface() {
    if (obj_) EngUnlockSurface(obj_);
    if (handle_) EngDeleteSurface(handle_);
}

namespace {

LONG ClampToLong(int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); }

} // namespace

bool DrawBand(const DriverFunctions& driver, SURFOBJ* band, SIZEL page, HostPlacement placement, SURFOBJ* picture,
              POINTL origin, const char** failedCall) {
    // The page in band coordinates, and the part of it this band holds.
    RECTL pageInBand{ClampToLong(-static_cast<int64_t>(origin.x)), ClampToLong(-static_cast<int64_t>(origin.y)),
                     ClampToLong(static_cast<int64_t>(page.cx) - origin.x),
                     ClampToLong(static_cast<int64_t>(page.cy) - origin.y)};
    CLIPOBJ clip{};
    clip.iDComplexity = DC_RECT;
    clip.rclBounds = Intersect(pageInBand, Bounds(*band));
    if (IsEmpty(clip.rclBounds)) return true;

    LONG width = picture->sizlBitmap.cx, height = picture->sizlBitmap.cy;
    if (placement == HostPlacement::TopLeft) {
        RECTL target{pageInBand.left, pageInBand.top, ClampToLong(static_cast<int64_t>(pageInBand.left) + width),
                     ClampToLong(static_cast<int64_t>(pageInBand.top) + height)};
        POINTL source{0, 0};
        *failedCall = driver.copyBits ? "DrvCopyBits" : "EngCopyBits";
        auto copy = driver.copyBits ? driver.copyBits : EngCopyBits;
        return copy(band, picture, &clip, nullptr, &target, &source) != FALSE;
    }
    // Fit to the printable width; the height follows the picture's proportions, rounded.
    int64_t fitHeight = (static_cast<int64_t>(height) * page.cx + width / 2) / width;
    RECTL target{pageInBand.left, pageInBand.top, pageInBand.right,
                 ClampToLong(static_cast<int64_t>(pageInBand.top) + std::max<int64_t>(fitHeight, 1))};
    RECTL source{0, 0, width, height};
    *failedCall = driver.stretchBlt ? "DrvStretchBlt" : "EngStretchBlt";
    auto stretch = driver.stretchBlt ? driver.stretchBlt : EngStretchBlt;
    return stretch(band, picture, nullptr, &clip, nullptr, nullptr, nullptr, &target, &source, nullptr, HALFTONE) !=
           FALSE;
}

size_t BandLimit(SIZEL page, SIZEL band) {
    auto tiles = [](LONG length, LONG bandLength) -> uint64_t {
        if (length <= 0 || bandLength <= 0) return 1;
        return (static_cast<uint64_t>(length) + bandLength - 1) / bandLength;
    };
    uint64_t cover = tiles(page.cx, band.cx) * tiles(page.cy, band.cy);
    return static_cast<size_t>(std::min<uint64_t>(2 * cover, 1u << 20));
}

} // namespace host::eng
