// Bit-block transfers between surfaces of the same format: straight copies, and the fills of
// the raster operations that need no source.
#include <algorithm>
#include <cstring>

#include "engine/internal.h"
#include <winbase.h>
#include "kernel/internal.h"

namespace {

using namespace host::eng;

// The part of `targetRect` that may be drawn and whose source pixels exist, and the source
// point of its top-left corner. Computed in 64 bits so extreme coordinates can't overflow.
bool ClipCopy(const SURFOBJ& target, const SURFOBJ& source, const CLIPOBJ* clip, const RECTL& targetRect,
              const POINTL& sourcePoint, RECTL* dest, POINTL* from) {
    RECTL area = Intersect(DrawableArea(target, clip), targetRect);
    if (IsEmpty(area)) return false;
    int64_t dx = static_cast<int64_t>(sourcePoint.x) - targetRect.left;
    int64_t dy = static_cast<int64_t>(sourcePoint.y) - targetRect.top;
    int64_t left = std::max<int64_t>(area.left, -dx);
    int64_t top = std::max<int64_t>(area.top, -dy);
    int64_t right = std::min<int64_t>(area.right, source.sizlBitmap.cx - dx);
    int64_t bottom = std::min<int64_t>(area.bottom, source.sizlBitmap.cy - dy);
    if (left >= right || top >= bottom) return false;
    *dest = {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right), static_cast<LONG>(bottom)};
    *from = {static_cast<LONG>(left + dx), static_cast<LONG>(top + dy)};
    return true;
}

// Both surfaces hold whole bytes per pixel of the same format.
bool SameByteFormat(const SURFOBJ& target, const SURFOBJ& source) {
    return target.iBitmapFormat == source.iBitmapFormat && BytesPerPixel(target.iBitmapFormat) != 0;
}

void CopyRect(const SURFOBJ& target, const SURFOBJ& source, const RECTL& dest, const POINTL& from) {
    size_t bytes = BytesPerPixel(target.iBitmapFormat);
    size_t span = static_cast<size_t>(dest.right - dest.left) * bytes;
    LONG rows = dest.bottom - dest.top;
    // Within one surface, a copy downwards walks from the bottom so no row is overwritten before it is read.
    bool upwards = target.pvScan0 == source.pvScan0 && from.y < dest.top;
    for (LONG i = 0; i < rows; ++i) {
        LONG r = upwards ? rows - 1 - i : i;
        std::memmove(Row(target, dest.top + r) + static_cast<size_t>(dest.left) * bytes,
                     Row(source, from.y + r) + static_cast<size_t>(from.x) * bytes, span);
    }
}

BOOL Copy(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, RECTL* targetRect, POINTL* sourcePoint) {
    if (!UsableSurface(target) || !UsableSurface(source) || !targetRect || !sourcePoint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!SameByteFormat(*target, *source)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    RECTL dest;
    POINTL from;
    if (ClipCopy(*target, *source, clip, *targetRect, *sourcePoint, &dest, &from))
        CopyRect(*target, *source, dest, from);
    return TRUE;
}

BOOL Fill(SURFOBJ* target, CLIPOBJ* clip, RECTL* targetRect, ULONG color) {
    if (!UsableSurface(target) || !targetRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FillRect(*target, Intersect(DrawableArea(*target, clip), *targetRect), color);
    return TRUE;
}

constexpr ULONG kNotSolid = 0xFFFFFFFF; // iSolidColor of a pattern brush

} // namespace

extern "C" {

BOOL EngCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* /*xlate*/, RECTL* targetRect,
                 POINTL* sourcePoint) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL { return Copy(target, source, clip, targetRect, sourcePoint); });
}

// SRCCOPY, PATCOPY with a solid brush, BLACKNESS, WHITENESS and the no-op; other operations are
// not supported by the host and fail with ERROR_NOT_SUPPORTED.
BOOL EngBitBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* /*mask*/, CLIPOBJ* clip, XLATEOBJ* /*xlate*/,
               RECTL* targetRect, POINTL* sourcePoint, POINTL* /*maskPoint*/, BRUSHOBJ* brush, POINTL* /*brushOrigin*/,
               ROP4 rop) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        switch (rop) {
        case HOST_ROP4_SRCCOPY: return Copy(target, source, clip, targetRect, sourcePoint);
        case HOST_ROP4_BLACKNESS: return Fill(target, clip, targetRect, 0);
        case HOST_ROP4_WHITENESS: return Fill(target, clip, targetRect, target ? AllOnes(target->iBitmapFormat) : 0);
        case HOST_ROP4_PATCOPY:
            if (!brush) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            if (brush->iSolidColor == kNotSolid) {
                SetLastError(ERROR_NOT_SUPPORTED);
                return FALSE;
            }
            return Fill(target, clip, targetRect, brush->iSolidColor);
        case HOST_ROP4_NOP:
            if (!UsableSurface(target)) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            return TRUE;
        default: SetLastError(ERROR_NOT_SUPPORTED); return FALSE;
        }
    });
}

} // extern "C"
