// Band capture: the engine renders the whole page into the surface as one band; the first DrvNextBand
// of the page stands a landscape page upright, dithers the pixels into printer dots, queues the raster,
// erases the surface and sends the page.
#include <utility>

#include "DeviceInstance.h"
#include "DriverEntryPoints.h"
#include "DriverLog.h"
#include "RasterConversion.h"
#include "platform_owners.h"

namespace {

void EraseToWhite(SURFOBJ* surface, LONG cx, LONG cy) {
    RECTL page{0, 0, cx, cy};
    EngEraseSurface(surface, &page, 0xFFFFFF);
}

// Whether the surface's pixels hold the instance's page: a 24-bit top-down buffer of cyPage rows of
// at least cxPage pixels each.
bool SurfaceHoldsPage(const SURFOBJ& surface, const PDEV& pdev) {
    if (surface.pvBits == nullptr || pdev.cxPage <= 0 || pdev.cyPage <= 0 || surface.lDelta <= 0) {
        return false;
    }
    const size_t rowBytes = size_t(pdev.cxPage) * 3;
    const size_t stride = size_t(surface.lDelta);
    return stride >= rowBytes && surface.cjBits >= stride * size_t(pdev.cyPage - 1) + rowBytes;
}

// Links a band behind the page's last one, or makes it the first.
void Queue(PDEV& pdev, BAND_NODE* band) {
    if (pdev.cBand == 1 || pdev.pBandTail == nullptr) {
        pdev.pBandHead = band;
    } else {
        pdev.pBandTail->pNext = band;
    }
    pdev.pBandTail = band;
}

} // namespace

DRVAPI_EXPORT BOOL DrvStartBanding(SURFOBJ* surface, POINTL* origin) {
    PDEV* pdev = DeviceOf(surface);
    LogEntry("DrvStartBanding", pdev);
    if (surface == nullptr || origin == nullptr) {
        return FALSE;
    }
    if (pdev != nullptr) {
        pdev->cBand = 0;
        EraseToWhite(surface, pdev->cxPage, pdev->cyPage);
    } else {
        EraseToWhite(surface, surface->sizlBitmap.cx, surface->sizlBitmap.cy);
    }
    *origin = {0, 0};
    return TRUE;
}

DRVAPI_EXPORT BOOL DrvNextBand(SURFOBJ* surface, POINTL* origin) {
    PDEV* pdev = DeviceOf(surface);
    LogEntry("DrvNextBand", pdev);
    if (pdev == nullptr || origin == nullptr || !SurfaceHoldsPage(*surface, *pdev)) {
        return FALSE;
    }
    ++pdev->cBand;

    // The band's pixels are read where the engine rendered them: the surface is erased for the next
    // page only after the conversion, so a copy of them would change nothing but the time taken.
    const size_t stride = size_t(surface->lDelta);
    pdev->cbBandPixels = surface->cjBits;

    velt::HeapPtr<BAND_NODE> node = velt::HeapAllocate<BAND_NODE>(HEAP_ZERO_MEMORY);
    if (!node) {
        return FALSE;
    }
    velt::HeapBlock bits = velt::HeapAllocate(HEAP_ZERO_MEMORY, pdev->cbBandPixels / 3);
    if (!bits) {
        return FALSE;
    }

    // The page as the printer sees it: rows across the roll, top row first.
    const BYTE* upright = static_cast<const BYTE*>(surface->pvBits);
    ULONG rows = ULONG(pdev->cyPage);
    ULONG width = ULONG(pdev->cxPage);
    size_t uprightStride = stride;
    velt::HeapBlock turned;
    if (Landscape(*pdev)) {
        turned = RotateClockwise(upright, width, rows, stride);
        if (!turned) {
            return FALSE;
        }
        upright = turned.get();
        std::swap(rows, width);
        uprightStride = PixelStride(width);
    }

    ULONG written = 0;
    if (Colour(*pdev) == DMCOLOR_MONOCHROME) {
        written = ConvertMono(upright, rows, uprightStride, width, bits.get());
    } else if (Colour(*pdev) == DMCOLOR_COLOR) {
        written = ConvertTwoColour(upright, rows, uprightStride, width, bits.get());
    }
    turned.reset();
    if (written == 0) {
        return FALSE;
    }

    BAND_NODE* band = node.release();
    band->pRaster = bits.release();
    band->pNext = nullptr;
    band->cbRaster = written;
    Queue(*pdev, band);

    // The page is complete: no further band, a white surface for the next page, and the page goes out.
    // The page output's own result is not the engine's concern.
    *origin = {-1, -1};
    EraseToWhite(surface, pdev->cxPage, pdev->cyPage);
    PageOutput(surface);
    return TRUE;
}
