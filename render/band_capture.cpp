// Band capture: the page's pixels read where the engine rendered them, turned into the page's raster.
#include "band_capture.h"

#include <utility>

#include "raster_conversion.h"
#include "platform_owners.h"

namespace {

// Links a band behind the page's last one, or makes it the first.
void Queue(PDEV& pdev, BAND_NODE* band) {
    if (pdev.cBand == 1 || pdev.pBandTail == nullptr) {
        pdev.pBandHead = band;
    } else {
        pdev.pBandTail->pNext = band;
    }
    pdev.pBandTail = band;
}

// Room for the raster of a band of `pixelBytes` 24-bit pixel bytes: one byte for every pixel, more than
// the two bits a pixel that a raster takes at most.
size_t RasterRoomFor(ULONG pixelBytes) {
    constexpr ULONG kBytesPerPixel = 3;
    return pixelBytes / kBytesPerPixel;
}

} // namespace

void EraseToWhite(SURFOBJ* surface, LONG cx, LONG cy) {
    RECTL page{0, 0, cx, cy};
    EngEraseSurface(surface, &page, WHITE_RGB);
}

void StartPageBands(SURFOBJ* surface, PDEV* pdev) {
    if (pdev != nullptr) {
        pdev->cBand = 0;
        EraseToWhite(surface, pdev->cxPage, pdev->cyPage);
    } else {
        EraseToWhite(surface, surface->sizlBitmap.cx, surface->sizlBitmap.cy);
    }
}

bool SurfaceHoldsPage(const SURFOBJ& surface, const PDEV& pdev) {
    if (surface.pvBits == nullptr || pdev.cxPage <= 0 || pdev.cyPage <= 0 || surface.lDelta <= 0) {
        return false;
    }
    const size_t rowBytes = size_t(pdev.cxPage) * 3;
    const size_t stride = size_t(surface.lDelta);
    return stride >= rowBytes && surface.cjBits >= stride * size_t(pdev.cyPage - 1) + rowBytes;
}

bool CaptureBand(PDEV& pdev, const SURFOBJ& surface) {
    ++pdev.cBand;

    // The band's pixels are read where the engine rendered them: the surface is erased for the next
    // page only after the conversion, so a copy of them would change nothing but the time taken.
    const size_t stride = size_t(surface.lDelta);
    pdev.cbBandPixels = surface.cjBits;

    velt::HeapPtr<BAND_NODE> node = velt::HeapAllocate<BAND_NODE>(HEAP_ZERO_MEMORY);
    if (!node) {
        return false;
    }
    velt::HeapBlock bits = velt::HeapAllocate(HEAP_ZERO_MEMORY, RasterRoomFor(pdev.cbBandPixels));
    if (!bits) {
        return false;
    }

    // The page as the printer sees it: rows across the roll, top row first.
    const BYTE* upright = static_cast<const BYTE*>(surface.pvBits);
    ULONG rows = ULONG(pdev.cyPage);
    ULONG width = ULONG(pdev.cxPage);
    size_t uprightStride = stride;
    velt::HeapBlock turned;
    if (Landscape(pdev)) {
        turned = RotateClockwise(upright, width, rows, stride);
        if (!turned) {
            return false;
        }
        upright = turned.get();
        std::swap(rows, width);
        uprightStride = PixelStride(width);
    }

    ULONG written = 0;
    if (Colour(pdev) == DMCOLOR_MONOCHROME) {
        written = ConvertMono(upright, rows, uprightStride, width, bits.get());
    } else if (Colour(pdev) == DMCOLOR_COLOR) {
        written = ConvertTwoColour(upright, rows, uprightStride, width, bits.get());
    }
    turned.reset();
    if (written == 0) {
        return false;
    }

    BAND_NODE* band = node.release();
    band->pRaster = bits.release();
    band->pNext = nullptr;
    band->cbRaster = written;
    Queue(pdev, band);
    return true;
}

bool SendCapturedPage(SURFOBJ* surface, const PDEV& pdev) {
    EraseToWhite(surface, pdev.cxPage, pdev.cyPage);
    return PageOutput(surface) != FALSE;
}
