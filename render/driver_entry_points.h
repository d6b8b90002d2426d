// Every entry point the rendering driver exports, with the engine's plain signatures. The function
// table of DrvEnableDriver points at these.
#pragma once

#include "driver_export.h"
#include "platform.h"

DRVAPI_EXPORT BOOL WINAPI DllEntryPoint(HANDLE module, DWORD reason, LPVOID reserved);
DRVAPI_EXPORT BOOL APIENTRY DrvQueryDriverInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed);
DRVAPI_EXPORT BOOL APIENTRY DrvEnableDriver(ULONG engineVersion, ULONG size, DRVENABLEDATA* data);
DRVAPI_EXPORT void APIENTRY DrvDisableDriver(void);

DRVAPI_EXPORT DHPDEV APIENTRY DrvEnablePDEV(DEVMODEW* devmode, LPWSTR logAddress, ULONG patterns,
                                            HSURF* patternSurfaces, ULONG gdiInfoSize, ULONG* gdiInfo,
                                            ULONG devInfoSize, DEVINFO* devInfo, HDEV device, LPWSTR deviceName,
                                            HANDLE printer);
DRVAPI_EXPORT void APIENTRY DrvCompletePDEV(DHPDEV pdev, HDEV device);
DRVAPI_EXPORT BOOL APIENTRY DrvResetPDEV(DHPDEV oldPdev, DHPDEV newPdev);
DRVAPI_EXPORT void APIENTRY DrvDisablePDEV(DHPDEV pdev);
DRVAPI_EXPORT HSURF APIENTRY DrvEnableSurface(DHPDEV pdev);
DRVAPI_EXPORT void APIENTRY DrvDisableSurface(DHPDEV pdev);

DRVAPI_EXPORT BOOL APIENTRY DrvStartDoc(SURFOBJ* surface, LPWSTR docName, DWORD jobId);
DRVAPI_EXPORT BOOL APIENTRY DrvStartPage(SURFOBJ* surface);
DRVAPI_EXPORT BOOL APIENTRY DrvSendPage(SURFOBJ* surface);
DRVAPI_EXPORT BOOL APIENTRY DrvEndDoc(SURFOBJ* surface, FLONG flags);
DRVAPI_EXPORT BOOL APIENTRY DrvStartBanding(SURFOBJ* surface, POINTL* origin);
DRVAPI_EXPORT BOOL APIENTRY DrvNextBand(SURFOBJ* surface, POINTL* origin);

DRVAPI_EXPORT BOOL APIENTRY DrvBitBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                                      RECTL* targetRect, POINTL* sourcePoint, POINTL* maskPoint, BRUSHOBJ* brush,
                                      POINTL* brushOrigin, ROP4 rop);
DRVAPI_EXPORT BOOL APIENTRY DrvStretchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip,
                                          XLATEOBJ* xlate, COLORADJUSTMENT* colorAdjust, POINTL* halftoneOrigin,
                                          RECTL* targetRect, RECTL* sourceRect, POINTL* maskPoint, ULONG mode);
DRVAPI_EXPORT BOOL APIENTRY DrvCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate,
                                        RECTL* targetRect, POINTL* sourcePoint);
DRVAPI_EXPORT BOOL APIENTRY DrvLineTo(SURFOBJ* surface, CLIPOBJ* clip, BRUSHOBJ* brush, LONG x1, LONG y1, LONG x2,
                                      LONG y2, RECTL* bounds, MIX mix);
DRVAPI_EXPORT BOOL APIENTRY DrvStrokePath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform,
                                          BRUSHOBJ* brush, POINTL* brushOrigin, LINEATTRS* lineAttrs, MIX mix);
DRVAPI_EXPORT BOOL APIENTRY DrvFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, BRUSHOBJ* brush,
                                        POINTL* brushOrigin, MIX mix, FLONG options);
DRVAPI_EXPORT BOOL APIENTRY DrvStrokeAndFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform,
                                                 BRUSHOBJ* strokeBrush, LINEATTRS* lineAttrs, BRUSHOBJ* fillBrush,
                                                 POINTL* brushOrigin, MIX mix, FLONG options);
DRVAPI_EXPORT BOOL APIENTRY DrvTextOut(SURFOBJ* surface, STROBJ* text, FONTOBJ* font, CLIPOBJ* clip, RECTL* extra,
                                       RECTL* opaqueRect, BRUSHOBJ* foreBrush, BRUSHOBJ* opaqueBrush, POINTL* origin,
                                       MIX mix);
DRVAPI_EXPORT ULONG APIENTRY DrvGetGlyphMode(DHPDEV pdev, FONTOBJ* font);
DRVAPI_EXPORT BOOL APIENTRY DrvRealizeBrush(BRUSHOBJ* brush, SURFOBJ* target, SURFOBJ* pattern, SURFOBJ* mask,
                                            XLATEOBJ* xlate, ULONG hatch);
