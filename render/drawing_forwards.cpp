// Drawing entry points: the engine draws with its own code. Each logs its line and hands the call back
// to the engine function of the same operation, with every argument unchanged.
#include "device_instance.h"
#include "driver_entry_points.h"
#include "driver_log.h"

namespace {

// The instance whose log a transfer's line goes to: the target's, or the source's when the engine
// reads back from the page into a surface of its own.
PDEV* DeviceOfTransfer(SURFOBJ* target, SURFOBJ* source) {
    PDEV* pdev = DeviceOf(target);
    return pdev != nullptr ? pdev : DeviceOf(source);
}

} // namespace

DRVAPI_EXPORT BOOL APIENTRY DrvBitBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                                      RECTL* targetRect, POINTL* sourcePoint, POINTL* maskPoint, BRUSHOBJ* brush,
                                      POINTL* brushOrigin, ROP4 rop) {
    LogEntry("DrvBitBlt", DeviceOfTransfer(target, source));
    return EngBitBlt(target, source, mask, clip, xlate, targetRect, sourcePoint, maskPoint, brush, brushOrigin, rop);
}

DRVAPI_EXPORT BOOL APIENTRY DrvStretchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip,
                                          XLATEOBJ* xlate, COLORADJUSTMENT* colorAdjust, POINTL* halftoneOrigin,
                                          RECTL* targetRect, RECTL* sourceRect, POINTL* maskPoint, ULONG mode) {
    LogEntry("DrvStretchBlt", DeviceOfTransfer(target, source));
    return EngStretchBlt(target, source, mask, clip, xlate, colorAdjust, halftoneOrigin, targetRect, sourceRect,
                         maskPoint, mode);
}

DRVAPI_EXPORT BOOL APIENTRY DrvCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate,
                                        RECTL* targetRect, POINTL* sourcePoint) {
    LogEntry("DrvCopyBits", DeviceOfTransfer(target, source));
    return EngCopyBits(target, source, clip, xlate, targetRect, sourcePoint);
}

DRVAPI_EXPORT BOOL APIENTRY DrvLineTo(SURFOBJ* surface, CLIPOBJ* clip, BRUSHOBJ* brush, LONG x1, LONG y1, LONG x2,
                                      LONG y2, RECTL* bounds, MIX mix) {
    LogEntry("DrvLineTo", DeviceOf(surface));
    return EngLineTo(surface, clip, brush, x1, y1, x2, y2, bounds, mix);
}

DRVAPI_EXPORT BOOL APIENTRY DrvStrokePath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform,
                                          BRUSHOBJ* brush, POINTL* brushOrigin, LINEATTRS* lineAttrs, MIX mix) {
    LogEntry("DrvStrokePath", DeviceOf(surface));
    return EngStrokePath(surface, path, clip, xform, brush, brushOrigin, lineAttrs, mix);
}

DRVAPI_EXPORT BOOL APIENTRY DrvFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, BRUSHOBJ* brush,
                                        POINTL* brushOrigin, MIX mix, FLONG options) {
    LogEntry("DrvFillPath", DeviceOf(surface));
    return EngFillPath(surface, path, clip, brush, brushOrigin, mix, options);
}

DRVAPI_EXPORT BOOL APIENTRY DrvStrokeAndFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform,
                                                 BRUSHOBJ* strokeBrush, LINEATTRS* lineAttrs, BRUSHOBJ* fillBrush,
                                                 POINTL* brushOrigin, MIX mix, FLONG options) {
    LogEntry("DrvStrokeAndFillPath", DeviceOf(surface));
    return EngStrokeAndFillPath(surface, path, clip, xform, strokeBrush, lineAttrs, fillBrush, brushOrigin, mix,
                                options);
}

DRVAPI_EXPORT BOOL APIENTRY DrvTextOut(SURFOBJ* surface, STROBJ* text, FONTOBJ* font, CLIPOBJ* clip, RECTL* extra,
                                       RECTL* opaqueRect, BRUSHOBJ* foreBrush, BRUSHOBJ* opaqueBrush, POINTL* origin,
                                       MIX mix) {
    LogEntry("DrvTextOut", DeviceOf(surface));
    return EngTextOut(surface, text, font, clip, extra, opaqueRect, foreBrush, opaqueBrush, origin, mix);
}

DRVAPI_EXPORT ULONG APIENTRY DrvGetGlyphMode(DHPDEV pdev, FONTOBJ* /*font*/) {
    LogEntry("DrvGetGlyphMode", reinterpret_cast<PDEV*>(pdev));
    return FO_GLYPHBITS;
}

// Exported for the engine's sake, but not in the function table: nothing is realised.
DRVAPI_EXPORT BOOL APIENTRY DrvRealizeBrush(BRUSHOBJ* /*brush*/, SURFOBJ* target, SURFOBJ* /*pattern*/,
                                            SURFOBJ* /*mask*/, XLATEOBJ* /*xlate*/, ULONG /*hatch*/) {
    LogEntry("DrvRealizeBrush", DeviceOf(target));
    return TRUE;
}
