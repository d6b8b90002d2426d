// Document and page entry points: what the printer is sent at the start of each page and at the end of
// the document. Pages are counted per device instance (PageCount).
#include "DeviceInstance.h"
#include "DriverEntryPoints.h"
#include "DriverLog.h"
#include "PageGeometry.h"
#include "PrinterCommands.h"

DRVAPI_EXPORT BOOL DrvStartDoc(SURFOBJ* surface, LPWSTR /*docName*/, DWORD /*jobId*/) {
    LogEntry("DrvStartDoc", DeviceOf(surface));
    return TRUE; // the document's first bytes come with its first page
}

DRVAPI_EXPORT BOOL DrvStartPage(SURFOBJ* surface) {
    PDEV* pdev = DeviceOf(surface);
    LogEntry("DrvStartPage", pdev);
    if (pdev == nullptr) {
        return FALSE;
    }
    HANDLE printer = pdev->hPrinter;
    const SHORT duplex = Duplex(*pdev);
    if (pdev->PageCount == 0) {
        if (!SendInitialise(printer)) {
            return FALSE;
        }
        if (duplex == 2 && !SendSideMode(printer, SIDE_MODE_DUAL)) {
            return FALSE;
        }
        if (duplex == 1 && !SendSideMode(printer, SIDE_MODE_SINGLE)) {
            return FALSE;
        }
    }
    if (duplex == 2 && !SendSelectSide(printer, static_cast<BYTE>(pdev->PageCount % 2))) {
        return FALSE;
    }
    // Cutting at the end of the document leaves no top margin after the previous page: feed it here.
    if (pdev->PageCount != 0 && CuttingControl(*pdev) != 0 && duplex == 1 && PageMode(*pdev) &&
        !FeedDots(printer, TOP_MARGIN_DOTS)) {
        return FALSE;
    }
    if (PageMode(*pdev)) {
        const LONG rows = PageRows(*pdev);
        const ULONG height = static_cast<ULONG>(rows < PAGE_MODE_AREA_ROWS ? (rows > 0 ? rows : 0) : PAGE_MODE_AREA_ROWS);
        if (!SendPageMode(printer) || !SendPrintArea(printer, height)) {
            return FALSE;
        }
    } else if (StandardMode(*pdev) && !SendStandardMode(printer)) {
        return FALSE;
    }
    ++pdev->PageCount;
    return TRUE;
}

DRVAPI_EXPORT BOOL DrvSendPage(SURFOBJ* surface) {
    LogEntry("DrvSendPage", DeviceOf(surface));
    return PageOutput(surface);
}

DRVAPI_EXPORT BOOL DrvEndDoc(SURFOBJ* surface, FLONG /*flags*/) {
    PDEV* pdev = DeviceOf(surface);
    LogEntry("DrvEndDoc", pdev);
    if (pdev == nullptr) {
        return FALSE;
    }
    HANDLE printer = pdev->hPrinter;
    const SHORT duplex = Duplex(*pdev);
    const bool lastSheetHalf = duplex == 2 && pdev->PageCount % 2 == 1; // the last sheet has only its first side
    if (lastSheetHalf && (!SendEndSheet(printer) || !FeedDots(printer, 368))) {
        pdev->PageCount = 0;
        return FALSE;
    }
    if (CuttingControl(*pdev) == 1 || lastSheetHalf) {
        if (duplex == 1) {
            bool fed;
            if (StandardMode(*pdev)) {
                SendFormFeed(printer); // a failure of it is ignored
                fed = FeedDots(printer, 180) != FALSE;
            } else {
                fed = FeedDots(printer, TOP_MARGIN_DOTS) != FALSE;
            }
            if (!fed) {
                pdev->PageCount = 0;
                return FALSE;
            }
        }
        SendCut(printer, CUT_MODE_FULL); // a failure of it is ignored
    }
    SendInitialise(printer); // a failure of it is ignored
    pdev->PageCount = 0;
    return TRUE;
}
