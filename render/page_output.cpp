// The page output: the rows of the page's bands placed in printer lines and handed to the row taker
// of the page's mode, page-mode areas of 2000 rows, and the page ending (form feed, end sheet, side
// selection, feeds and cut) that the duplex and cutting settings ask for.
#include <algorithm>
#include <cstring>

#include "device_instance.h"
#include "driver_log.h"
#include "page_geometry.h"
#include "printer_commands.h"
#include "row_takers.h"
#include "vertical_dot_count.h"
#include "platform_owners.h"

namespace {

// Where one row of the page's raster goes in a printer line.
struct ROW_FORMAT {
    BYTE type;         // raster block type
    ULONG rasterBytes; // bytes of one row of the band's raster
    ULONG lineBytes;   // bytes of one printer line
    ULONG placeInLine; // first byte of the row in the line (two-colour: still interleaved)
};

// The page has a row format when its roll is 80 or 58 mm and it is mono or two-colour.
bool RowFormatOf(const PDEV& pdev, ROW_FORMAT* format) {
    const ROLL_CLASS roll = RollClassOf(RollWidth(Orientation(pdev), PaperWidth(pdev), PaperLength(pdev)));
    if (roll == ROLL_NONE) {
        return false;
    }
    const bool wide = roll == ROLL_80MM;
    switch (Colour(pdev)) {
    case DMCOLOR_MONOCHROME: *format = {RASTER_MONO, wide ? 72u : 54u, LINE_BYTES_MONO, wide ? 4u : 24u}; return true;
    case DMCOLOR_COLOR:
        *format = {RASTER_TWO_COLOUR, wide ? 144u : 108u, LINE_BYTES_TWO_COLOUR, wide ? 8u : 48u};
        return true;
    default: return false;
    }
}

// The row buffer: in standard mode room for one block of VerticalDotCount lines (no more than the page
// has rows, whatever the value), in page mode for a whole 2000-row area.
size_t RowBufferLines(const PDEV& pdev, DWORD dotCount) {
    if (PageMode(pdev)) {
        return PAGE_MODE_AREA_ROWS;
    }
    return std::min<size_t>(dotCount, static_cast<size_t>(std::max<LONG>(PageRows(pdev), 1)));
}

// Sends the rows of every band; false at the first command that fails.
bool SendRows(PDEV& pdev, DWORD dotCount) {
    ROW_FORMAT format{};
    if (!RowFormatOf(pdev, &format)) {
        return true; // no rows for this page; its bands are released unsent
    }
    const LONG rows = PageRows(pdev);
    LONG areasLeft = rows / PAGE_MODE_AREA_ROWS; // K, in 32 bits: no 16-bit wrap for long pages
    LONG area = 1;                               // k
    ULONG inArea = 0;                            // i
    BYTE line[LINE_BYTES_TWO_COLOUR];
    for (BAND_NODE* band = pdev.pBandHead; band != nullptr; band = band->pNext) {
        if (band->pRaster == nullptr) {
            continue;
        }
        // Whole rows only: a raster that ends inside a row leaves that part unread.
        for (size_t offset = 0; offset + format.rasterBytes <= band->cbRaster; offset += format.rasterBytes) {
            ++inArea;
            std::memset(line, 0, sizeof line);
            std::memcpy(line + format.placeInLine, band->pRaster + offset, format.rasterBytes);
            const ULONG row = static_cast<ULONG>(area - 1) * PAGE_MODE_AREA_ROWS + inArea;
            const BOOL taken = PageMode(pdev)
                                   ? PutRowPageMode(pdev, format.type, line, format.lineBytes, dotCount, row)
                                   : PutRowStandard(pdev, format.type, line, format.lineBytes, dotCount, row);
            if (!taken) {
                return false;
            }
            if (PageMode(pdev) && areasLeft != 0 && inArea == PAGE_MODE_AREA_ROWS) {
                // Print this area and open the next for all rows still to come.
                inArea = 0;
                if (!SendFormFeed(pdev.hPrinter) || !SendPageMode(pdev.hPrinter) ||
                    !SendPrintArea(pdev.hPrinter, static_cast<ULONG>(rows - area * PAGE_MODE_AREA_ROWS))) {
                    return false;
                }
                --areasLeft;
                ++area;
            }
        }
    }
    return true;
}

// The end of the page, by duplex and cutting settings. An even page is the second side of its sheet.
bool EndPage(PDEV& pdev) {
    HANDLE printer = pdev.hPrinter;
    const bool singleSide = SingleSide(pdev);
    const bool dualSide = DualSide(pdev);
    const bool evenPage = pdev.PageCount % 2 == 0;
    if (dualSide && evenPage) {
        if (!SendEndSheet(printer)) {
            return false;
        }
    } else if (!dualSide && PageMode(pdev)) {
        // Every page-mode page that is not half of a dual-side sheet prints its area here; a duplex
        // value other than 1 or 2 (kept by the merge) would otherwise leave the area unprinted, and the
        // closing initialise would discard the page.
        if (!SendFormFeed(printer)) {
            return false;
        }
    }
    const ULONG feedMargin = dualSide ? FEED_MARGIN_DUAL_SIDE_DOTS : FEED_MARGIN_SINGLE_SIDE_DOTS;
    if (!CutAfterEachPage(pdev) && !dualSide) {
        // Cut at the end of the document: no cut here.
        return singleSide && PageMode(pdev) ? FeedDots(printer, feedMargin) != FALSE : true;
    }
    if (singleSide || evenPage) {
        if (dualSide) {
            if (!SendSelectSide(printer, 0) || !FeedDots(printer, feedMargin + TOP_MARGIN_DOTS) ||
                !SendSelectSide(printer, 1)) {
                return false;
            }
        }
        if (!FeedDots(printer, feedMargin + TOP_MARGIN_DOTS)) {
            return false;
        }
    }
    if (singleSide || (CutAfterEachPage(pdev) && evenPage)) {
        return SendCut(printer, CUT_MODE_FULL) != FALSE;
    }
    return true;
}

// Clears the row state when the page output ends, however it ends.
struct RowStateScope {
    PDEV& pdev;
    ~RowStateScope() {
        pdev.pRowBuffer = nullptr;
        pdev.cbRowBuffer = 0;
        pdev.cBlankRows = 0;
        pdev.cHeldRows = 0;
        ReleaseBands(pdev);
    }
};

} // namespace

BOOL PageOutput(SURFOBJ* surface) {
    PDEV* pdev = DeviceOf(surface);
    LogEntry("PageOutput", pdev);
    if (pdev == nullptr) {
        return FALSE;
    }
    RowStateScope scope{*pdev};
    pdev->cBlankRows = 0;
    pdev->cHeldRows = 0;

    // VerticalDotCount 0 is as unusable as a missing value: no block could hold a row.
    DWORD dotCount = 0;
    if (!ReadVerticalDotCount(&dotCount) || dotCount == 0) {
        return FALSE;
    }
    const size_t lineBytes = Colour(*pdev) == DMCOLOR_MONOCHROME ? LINE_BYTES_MONO : LINE_BYTES_TWO_COLOUR;
    const size_t bufferBytes = RowBufferLines(*pdev, dotCount) * lineBytes;
    const velt::HeapBlock rowBuffer = velt::HeapAllocate(HEAP_ZERO_MEMORY, bufferBytes);
    if (!rowBuffer) {
        return FALSE;
    }
    pdev->pRowBuffer = rowBuffer.get();
    pdev->cbRowBuffer = bufferBytes;

    if (!SendRows(*pdev, dotCount)) {
        return FALSE;
    }
    return EndPage(*pdev) ? TRUE : FALSE;
}
