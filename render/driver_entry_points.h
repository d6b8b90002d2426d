// Every entry point the rendering driver exports, with the engine's plain signatures. The function
// table of DrvEnableDriver points at these.
#pragma once

#include "driver_export.h"
#include "platform.h"

DRVAPI_EXPORT BOOL DllEntryPoint(HANDLE module, DWORD reason, LPVOID reserved);
DRVAPI_EXPORT BOOL DrvQueryDriverInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed);
DRVAPI_EXPORT BOOL DrvEnableDriver(ULONG engineVersion, ULONG size, DRVENABLEDATA* data);
DRVAPI_EXPORT void DrvDisableDriver(void);

DRVAPI_EXPORT DHPDEV DrvEnablePDEV(DEVMODEW* devmode, LPWSTR logAddress, ULONG patterns, HSURF* patternSurfaces,
                                   ULONG gdiInfoSize, ULONG* gdiInfo, ULONG devInfoSize, DEVINFO* devInfo, HDEV device,
                                   LPWSTR deviceName, HANDLE printer);
DRVAPI_EXPORT void DrvCompletePDEV(DHPDEV pdev, HDEV device);
DRVAPI_EXPORT BOOL DrvResetPDEV(DHPDEV oldPdev, DHPDEV newPdev);
DRVAPI_EXPORT void DrvDisablePDEV(DHPDEV pdev);
DRVAPI_EXPORT HSURF DrvEnableSurface(DHPDEV pdev);
DRVAPI_EXPORT void DrvDisableSurface(DHPDEV pdev);

DRVAPI_EXPORT BOOL DrvStartDoc(SURFOBJ* surface, LPWSTR docName, DWORD jobId);
DRVAPI_EXPORT BOOL DrvStartPage(SURFOBJ* surface);
DRVAPI_EXPORT BOOL DrvSendPage(SURFOBJ* surface);
DRVAPI_EXPORT BOOL DrvEndDoc(SURFOBJ* surface, FLONG flags);
DRVAPI_EXPORT BOOL DrvStartBanding(SURFOBJ* surface, POINTL* origin);
DRVAPI_EXPORT BOOL DrvNextBand(SURFOBJ* surface, POINTL* origin);

DRVAPI_EXPORT BOOL DrvBitBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                             RECTL* targetRect, POINTL* sourcePoint, POINTL* maskPoint, BRUSHOBJ* brush,
                             POINTL* brushOrigin, ROP4 rop);
DRVAPI_EXPORT BOOL DrvStretchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                                 COLORADJUSTMENT* colorAdjust, POINTL* halftoneOrigin, RECTL* targetRect,
                                 RECTL* sourceRect, POINTL* maskPoint, ULONG mode);
DRVAPI_EXPORT BOOL DrvCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
                               POINTL* sourcePoint);
DRVAPI_EXPORT BOOL DrvLineTo(SURFOBJ* surface, CLIPOBJ* clip, BRUSHOBJ* brush, LONG x1, LONG y1, LONG x2, LONG y2,
                             RECTL* bounds, MIX mix);
DRVAPI_EXPORT BOOL DrvStrokePath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* brush,
                                 POINTL* brushOrigin, LINEATTRS* lineAttrs, MIX mix);
DRVAPI_EXPORT BOOL DrvFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, BRUSHOBJ* brush, POINTL* brushOrigin,
                               MIX mix, FLONG options);
DRVAPI_EXPORT BOOL DrvStrokeAndFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform,
                                        BRUSHOBJ* strokeBrush, LINEATTRS* lineAttrs, BRUSHOBJ* fillBrush,
                                        POINTL* brushOrigin, MIX mix, FLONG options);
DRVAPI_EXPORT BOOL DrvTextOut(SURFOBJ* surface, STROBJ* text, FONTOBJ* font, CLIPOBJ* clip, RECTL* extra,
                              RECTL* opaqueRect, BRUSHOBJ* foreBrush, BRUSHOBJ* opaqueBrush, POINTL* origin, MIX mix);
DRVAPI_EXPORT ULONG DrvGetGlyphMode(DHPDEV pdev, FONTOBJ* font);
DRVAPI_EXPORT BOOL DrvRealizeBrush(BRUSHOBJ* brush, SURFOBJ* target, SURFOBJ* pattern, SURFOBJ* mask, XLATEOBJ* xlate,
                                   ULONG hatch);
