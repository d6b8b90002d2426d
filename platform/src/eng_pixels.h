// Pixel geometry and rectangle arithmetic shared by the engine's drawing functions.
// A pixel of a 24-bit surface holds the three low bytes of its colour value, least significant
// first: colour 0x00RRGGBB lies in memory as B, G, R.
#pragma once

#include <cstdint>

#include "host/winddi.h"

namespace host::eng {

// Bits per pixel of a bitmap format; 0 for a format the engine doesn't know.
ULONG BitsPerPixel(ULONG format);
// Bytes per pixel of the byte-aligned formats (8, 16, 24, 32 bits); 0 for the others.
ULONG BytesPerPixel(ULONG format);
// Scan-line bytes of an engine-allocated bitmap: whole pixels rounded up to a multiple of 4.
uint64_t AlignedRowBytes(ULONG format, LONG width);

// A surface the drawing functions can work on: pixels present, a known format, a positive size.
bool UsableSurface(const SURFOBJ* surface);
inline BYTE* Row(const SURFOBJ& surface, LONG y) {
    return static_cast<BYTE*>(surface.pvScan0) + static_cast<intptr_t>(y) * surface.lDelta;
}

RECTL Bounds(const SURFOBJ& surface);
RECTL Intersect(const RECTL& a, const RECTL& b);
inline bool IsEmpty(const RECTL& r) { return r.left >= r.right || r.top >= r.bottom; }
inline bool Contains(const RECTL& outer, const RECTL& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}
// The rectangle with left <= right and top <= bottom.
RECTL Ordered(const RECTL& r);
// Where drawing on the target may land: its bounds, narrowed by the clip's bounds unless the clip
// is trivial. A complex clip is taken as its bounding rectangle (the host has no region lists).
RECTL DrawableArea(const SURFOBJ& target, const CLIPOBJ* clip);

// Fills a rectangle that already lies inside the surface with one colour index.
void FillRect(const SURFOBJ& surface, const RECTL& area, ULONG color);
// The colour value of every bit set in a pixel of the format (0xFFFFFF for 24 bits).
ULONG AllOnes(ULONG format);

} // namespace host::eng
