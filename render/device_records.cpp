// GDIINFO and DEVINFO of the roll printer: 203 dpi, one bit per dot, 24-bit halftoning by the engine.
#include "device_records.h"

namespace {

constexpr ULONG kDotsPerInch = 203;
constexpr ULONG kAspect = kDotsPerInch / 10;             // 20
constexpr ULONG kAspectDiagonal = kAspect * 1414 / 1000; // 28
constexpr LONG kStyleStepDenominator = 8;                // 203 x 0.04 + 0.5, truncated
constexpr FLONG kTextCaps = 0x19EF;
constexpr LDECI4 kGamma = 20000;

// A negative size (too short a page) is reported as 0, not as a huge unsigned number.
ULONG NonNegative(LONG value) { return value > 0 ? static_cast<ULONG>(value) : 0; }

} // namespace

void FillGdiInfo(const PAGE_GEOMETRY& geometry, GDIINFO* info) {
    info->ulVersion = 0x400;
    info->ulTechnology = DT_RASPRINTER;
    info->ulHorzSize = NonNegative(geometry.printableSizeMm.cx);
    info->ulVertSize = NonNegative(geometry.printableSizeMm.cy);
    info->ulHorzRes = NonNegative(geometry.printableSize.cx);
    info->ulVertRes = NonNegative(geometry.printableSize.cy);
    info->cBitsPixel = 1;
    info->cPlanes = 1;
    info->ulNumColors = 2;
    info->flRaster = 0;
    info->ulLogPixelsX = kDotsPerInch;
    info->ulLogPixelsY = kDotsPerInch;
    info->flTextCaps = kTextCaps;
    info->ulDACRed = 0;
    info->ulDACGreen = 0;
    info->ulDACBlue = 0;
    info->ulAspectX = kAspect;
    info->ulAspectY = kAspect;
    info->ulAspectXY = kAspectDiagonal;
    info->xStyleStep = 1;
    info->yStyleStep = 1;
    info->denStyleStep = kStyleStepDenominator;
    info->ptlPhysOffset = geometry.physicalOffset;
    info->szlPhysSize = geometry.physicalSize;
    info->ulNumPalReg = 256;
    info->ciDevice = COLORINFO{};
    info->ciDevice.Red = {6700, 3300, 0};
    info->ciDevice.Green = {2100, 7100, 0};
    info->ciDevice.Blue = {1400, 800, 0};
    info->ciDevice.AlignmentWhite = {3127, 3290, 0};
    info->ciDevice.RedGamma = kGamma;
    info->ciDevice.GreenGamma = kGamma;
    info->ciDevice.BlueGamma = kGamma;
    info->ulDevicePelsDPI = kDotsPerInch;
    info->ulPrimaryOrder = PRIMARY_ORDER_ABC;
    info->ulHTOutputFormat = HT_FORMAT_24BPP;
    info->flHTFlags = HT_FLAG_ADDITIVE_PRIMS;
    info->ulVRefresh = 0;
    info->ulBltAlignment = 0;
}

DEVINFO MakeDevInfo(HPALETTE palette) {
    DEVINFO info{};
    info.lfDefaultFont.lfHeight = -83;
    info.lfDefaultFont.lfWeight = FW_NORMAL;
    info.lfDefaultFont.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    info.iDitherFormat = BMF_24BPP;
    info.hpalDefault = palette;
    return info;
}
