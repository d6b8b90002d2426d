// Document and page entry points: each logs its line, checks its instance and hands the work to the
// page sequence (page_sequence.h) or the page output.
#include "device_instance.h"
#include "driver_entry_points.h"
#include "driver_log.h"
#include "page_sequence.h"

DRVAPI_EXPORT BOOL APIENTRY DrvStartDoc(SURFOBJ* surface, LPWSTR /*docName*/, DWORD /*jobId*/) {
    LogEntry("DrvStartDoc", DeviceOf(surface));
    return TRUE; // the document's first bytes come with its first page
}

DRVAPI_EXPORT BOOL APIENTRY DrvStartPage(SURFOBJ* surface) {
    PDEV* pdev = DeviceOf(surface);
    LogEntry("DrvStartPage", pdev);
    if (pdev == nullptr) {
        return FALSE;
    }
    return SendPageStart(*pdev) ? TRUE : FALSE;
}

DRVAPI_EXPORT BOOL APIENTRY DrvSendPage(SURFOBJ* surface) {
    LogEntry("DrvSendPage", DeviceOf(surface));
    return PageOutput(surface);
}

DRVAPI_EXPORT BOOL APIENTRY DrvEndDoc(SURFOBJ* surface, FLONG /*flags*/) {
    PDEV* pdev = DeviceOf(surface);
    LogEntry("DrvEndDoc", pdev);
    if (pdev == nullptr) {
        return FALSE;
    }
    return SendDocumentEnd(*pdev) ? TRUE : FALSE;
}
