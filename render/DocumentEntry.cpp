// Document and page entry points: each logs its line, checks its instance and hands the work to the
// page sequence (PageSequence.h) or the page output.
#include "DeviceInstance.h"
#include "DriverEntryPoints.h"
#include "DriverLog.h"
#include "PageSequence.h"

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
    return SendPageStart(*pdev) ? TRUE : FALSE;
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
    return SendDocumentEnd(*pdev) ? TRUE : FALSE;
}
