// The commands between pages: the document's start and end, side selection and page mode.
#include "page_sequence.h"

#include "page_geometry.h"
#include "printer_commands.h"

namespace {

// Pages 1, 3, 5, ... of a dual-side document are the first sides of their sheets.
constexpr LONG SIDES_PER_SHEET = 2;

// A last sheet printed on its first side only is fed out past its bottom margin and the top margin.
constexpr ULONG HALF_SHEET_FEED_DOTS = FEED_MARGIN_DUAL_SIDE_DOTS + TOP_MARGIN_DOTS;
// A single-side standard-mode document is fed past the bottom and top margins before its cut.
constexpr ULONG STANDARD_MODE_END_FEED_DOTS = FEED_MARGIN_SINGLE_SIDE_DOTS + TOP_MARGIN_DOTS;

// The document's first bytes: initialise, then the side mode of a single- or dual-side job.
bool SendDocumentStart(const PDEV& pdev) {
    HANDLE printer = pdev.hPrinter;
    if (!SendInitialise(printer)) {
        return false;
    }
    if (DualSide(pdev) && !SendSideMode(printer, SIDE_MODE_DUAL)) {
        return false;
    }
    return !SingleSide(pdev) || SendSideMode(printer, SIDE_MODE_SINGLE);
}

// The page's first page-mode area: all its rows up to one area (none for too short a page).
ULONG FirstAreaRows(const PDEV& pdev) {
    const LONG rows = PageRows(pdev);
    return static_cast<ULONG>(rows < PAGE_MODE_AREA_ROWS ? (rows > 0 ? rows : 0) : PAGE_MODE_AREA_ROWS);
}

// Page mode with the page's first area, or standard mode; neither for another mode value.
bool SendModeOfPage(const PDEV& pdev) {
    HANDLE printer = pdev.hPrinter;
    if (PageMode(pdev)) {
        return SendPageMode(printer) && SendPrintArea(printer, FirstAreaRows(pdev));
    }
    return !StandardMode(pdev) || SendStandardMode(printer);
}

// The feed of a single-side document before its final cut.
bool FeedBeforeFinalCut(const PDEV& pdev) {
    HANDLE printer = pdev.hPrinter;
    if (StandardMode(pdev)) {
        SendFormFeed(printer); // a failure of it is ignored
        return FeedDots(printer, STANDARD_MODE_END_FEED_DOTS) != FALSE;
    }
    return FeedDots(printer, TOP_MARGIN_DOTS) != FALSE;
}

bool SendDocumentClosing(const PDEV& pdev) {
    HANDLE printer = pdev.hPrinter;
    const bool lastSheetHalf = DualSide(pdev) && pdev.PageCount % SIDES_PER_SHEET == 1;
    if (lastSheetHalf && (!SendEndSheet(printer) || !FeedDots(printer, HALF_SHEET_FEED_DOTS))) {
        return false;
    }
    // A half-printed last sheet is cut whatever the cutting setting.
    if (CutAtEndOfDocument(pdev) || lastSheetHalf) {
        if (SingleSide(pdev) && !FeedBeforeFinalCut(pdev)) {
            return false;
        }
        SendCut(printer, CUT_MODE_FULL); // a failure of it is ignored
    }
    SendInitialise(printer); // a failure of it is ignored
    return true;
}

} // namespace

bool SendPageStart(PDEV& pdev) {
    HANDLE printer = pdev.hPrinter;
    if (pdev.PageCount == 0 && !SendDocumentStart(pdev)) {
        return false;
    }
    if (DualSide(pdev) && !SendSelectSide(printer, static_cast<BYTE>(pdev.PageCount % SIDES_PER_SHEET))) {
        return false;
    }
    // Cutting at the end of the document leaves no top margin after the previous page: feed it here.
    if (pdev.PageCount != 0 && !CutAfterEachPage(pdev) && SingleSide(pdev) && PageMode(pdev) &&
        !FeedDots(printer, TOP_MARGIN_DOTS)) {
        return false;
    }
    if (!SendModeOfPage(pdev)) {
        return false;
    }
    ++pdev.PageCount;
    return true;
}

bool SendDocumentEnd(PDEV& pdev) {
    const bool sent = SendDocumentClosing(pdev);
    pdev.PageCount = 0;
    return sent;
}
