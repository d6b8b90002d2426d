// Page geometry: margins and sizes from the working device mode (tenths of a millimetre to dots is x 4 / 5).
#include "page_geometry.h"

#include "driver_devmode.h"
#include "raster_conversion.h"

SHORT RollWidth(SHORT orientation, SHORT paperWidth, SHORT paperLength) {
    return orientation == DMORIENT_LANDSCAPE ? paperLength : paperWidth;
}

ROLL_CLASS RollClassOf(SHORT rollWidth) {
    if (rollWidth == 800) {
        return ROLL_80MM;
    }
    if (rollWidth == 580) {
        return ROLL_58MM;
    }
    return ROLL_NONE;
}

PAGE_GEOMETRY ComputePageGeometry(SHORT orientation, SHORT paperWidth, SHORT paperLength, SHORT duplex) {
    PAGE_GEOMETRY g{};
    switch (RollClassOf(RollWidth(orientation, paperWidth, paperLength))) {
    case ROLL_80MM: g.rollMargin = ROLL_MARGIN_80MM_DOTS; break;
    case ROLL_58MM: g.rollMargin = ROLL_MARGIN_58MM_DOTS; break;
    case ROLL_NONE: g.rollMargin = 0; break;
    }
    g.feedMargin = duplex == DRIVER_DUPLEX_SINGLE_SIDE ? FEED_MARGIN_SINGLE_SIDE_DOTS
                   : duplex == DRIVER_DUPLEX_DUAL_SIDE ? FEED_MARGIN_DUAL_SIDE_DOTS
                                                       : 0;

    // Widened to 32 bits before multiplying, so that no 16-bit size wraps.
    g.physicalSize.cx = LONG{paperWidth} * 4 / 5;
    g.physicalSize.cy = LONG{paperLength} * 4 / 5;
    if (orientation == DMORIENT_LANDSCAPE) {
        g.physicalOffset = {g.feedMargin, g.rollMargin};
        g.printableSize.cx = g.physicalSize.cx - TOP_MARGIN_DOTS - g.feedMargin;
        g.printableSize.cy = g.physicalSize.cy - 2 * g.rollMargin;
    } else {
        g.physicalOffset = {g.rollMargin, TOP_MARGIN_DOTS};
        g.printableSize.cx = g.physicalSize.cx - 2 * g.rollMargin;
        g.printableSize.cy = g.physicalSize.cy - TOP_MARGIN_DOTS - g.feedMargin;
    }
    g.printableSizeMm.cx = g.printableSize.cx / 8;
    g.printableSizeMm.cy = g.printableSize.cy / 8;
    return g;
}

bool SurfaceSizeAcceptable(LONG cx, LONG cy) {
    if (cx <= 0 || cy <= 0 || cx > MAX_PAGE_DOTS || cy > MAX_PAGE_DOTS) {
        return false;
    }
    return PixelStride(static_cast<size_t>(cx)) * static_cast<size_t>(cy) <= MAX_SURFACE_BYTES;
}
