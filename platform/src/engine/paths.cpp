// Paths and text. The host's PATHOBJ and STROBJ carry no outlines or glyph images, so there is
// nothing to stroke, fill or place: these calls check their objects and succeed without drawing.
// EngTextOut still paints the opaque background rectangle, which needs no glyphs.
#include "engine/internal.h"
#include <winbase.h>
#include "kernel/internal.h"

namespace {

BOOL CheckPathCall(SURFOBJ* surface, PATHOBJ* path) {
    if (!host::eng::UsableSurface(surface) || !path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

} // namespace

extern "C" {

BOOL EngStrokePath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*, LINEATTRS*, MIX) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL { return CheckPathCall(surface, path); });
}

BOOL EngFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL { return CheckPathCall(surface, path); });
}

BOOL EngStrokeAndFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, LINEATTRS*, BRUSHOBJ*,
                          POINTL*, MIX, FLONG) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL { return CheckPathCall(surface, path); });
}

BOOL EngTextOut(SURFOBJ* surface, STROBJ* text, FONTOBJ* /*font*/, CLIPOBJ* clip, RECTL* /*extra*/, RECTL* opaqueRect,
                BRUSHOBJ* /*foreBrush*/, BRUSHOBJ* opaqueBrush, POINTL* /*origin*/, MIX /*mix*/) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        using namespace host::eng;
        if (!UsableSurface(surface) || !text) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (opaqueRect && opaqueBrush && opaqueBrush->iSolidColor != 0xFFFFFFFF)
            FillRect(*surface, Intersect(DrawableArea(*surface, clip), *opaqueRect), opaqueBrush->iSolidColor);
        return TRUE;
    });
}

} // extern "C"
