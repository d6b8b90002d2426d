#include "engine/internal.h"

#include <algorithm>
#include <cstring>

namespace host::eng {

ULONG BitsPerPixel(ULONG format) {
    switch (format) {
    case BMF_1BPP: return 1;
    case BMF_4BPP: return 4;
    case BMF_8BPP: return 8;
    case BMF_16BPP: return 16;
    case BMF_24BPP: return 24;
    case BMF_32BPP: return 32;
    default: return 0;
    }
}

ULONG BytesPerPixel(ULONG format) {
    ULONG bits = BitsPerPixel(format);
    return bits >= 8 ? bits / 8 : 0;
}

uint64_t AlignedRowBytes(ULONG format, LONG width) {
    return (static_cast<uint64_t>(width) * BitsPerPixel(format) + 31) / 32 * 4;
}

bool UsableSurface(const SURFOBJ* surface) {
    if (!surface || !surface->pvScan0 || BitsPerPixel(surface->iBitmapFormat) == 0 || surface->sizlBitmap.cx <= 0 ||
        surface->sizlBitmap.cy <= 0)
        return false;
    // A scan line must hold the whole row, or drawing at its right end would run into the next one.
    uint64_t rowBytes = (static_cast<uint64_t>(surface->sizlBitmap.cx) * BitsPerPixel(surface->iBitmapFormat) + 7) / 8;
    uint64_t delta = surface->lDelta < 0 ? -static_cast<int64_t>(surface->lDelta) : surface->lDelta;
    return delta >= rowBytes;
}

RECTL Bounds(const SURFOBJ& surface) { return {0, 0, surface.sizlBitmap.cx, surface.sizlBitmap.cy}; }

RECTL Intersect(const RECTL& a, const RECTL& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

RECTL Ordered(const RECTL& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

RECTL DrawableArea(const SURFOBJ& target, const CLIPOBJ* clip) {
    RECTL area = Bounds(target);
    if (clip && clip->iDComplexity != DC_TRIVIAL) area = Intersect(area, clip->rclBounds);
    return area;
}

ULONG AllOnes(ULONG format) {
    ULONG bits = BitsPerPixel(format);
    return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
}

namespace {

// 1- and 4-bit pixels: the leftmost pixel in the most significant bits of its byte.
void FillPacked(const SURFOBJ& surface, const RECTL& area, ULONG color, ULONG bits) {
    ULONG perByte = 8 / bits;
    BYTE mask = static_cast<BYTE>((1u << bits) - 1);
    BYTE value = static_cast<BYTE>(color & mask);
    for (LONG y = area.top; y < area.bottom; ++y) {
        BYTE* row = Row(surface, y);
        for (LONG x = area.left; x < area.right; ++x) {
            ULONG shift = (perByte - 1 - static_cast<ULONG>(x) % perByte) * bits;
            BYTE& b = row[static_cast<ULONG>(x) / perByte];
            b = static_cast<BYTE>((b & ~(mask << shift)) | (value << shift));
        }
    }
}

} // namespace

void FillRect(const SURFOBJ& surface, const RECTL& area, ULONG color) {
    if (IsEmpty(area)) return;
    ULONG bytes = BytesPerPixel(surface.iBitmapFormat);
    if (bytes == 0) {
        FillPacked(surface, area, color, BitsPerPixel(surface.iBitmapFormat));
        return;
    }
    BYTE pixel[4];
    for (ULONG i = 0; i < bytes; ++i) pixel[i] = static_cast<BYTE>(color >> (8 * i));
    // Build the first row, then copy it to the others.
    size_t span = static_cast<size_t>(area.right - area.left) * bytes;
    BYTE* first = Row(surface, area.top) + static_cast<size_t>(area.left) * bytes;
    for (size_t offset = 0; offset < span; offset += bytes) std::memcpy(first + offset, pixel, bytes);
    for (LONG y = area.top + 1; y < area.bottom; ++y)
        std::memcpy(Row(surface, y) + static_cast<size_t>(area.left) * bytes, first, span);
}

} // namespace host::eng
