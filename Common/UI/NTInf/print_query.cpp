// DevQueryPrintEx: whether a queued job can print with its device mode. A held job gets no reason
// text from this driver.
#include "ui_entry_points.h"
#include "ui_services.h"

namespace {

// The job's own fields in our layout: what its record doesn't hold reads as 0, so that a short record
// is judged by the fields it has, never by bytes beyond its end.
bool OwnFields(const DEVMODEW* job, DRIVER_DEVMODE* own) {
    *own = DRIVER_DEVMODE{};
    own->dmPublic.dmSize = sizeof(DEVMODEW);
    own->dmPublic.dmDriverExtra = DRIVER_DEVMODE_PRIVATE_BYTES;
    return DevmodeCopyContent(job, &own->dmPublic) > 0;
}

// A job names its paper by both sizes, or by a form name or paper id.
bool NamesPaper(const DEVMODEW& job) {
    const DWORD fields = job.dmFields;
    if ((fields & DM_PAPERLENGTH) && (fields & DM_PAPERWIDTH) && job.dmPaperWidth > 0 && job.dmPaperLength > 0) {
        return true;
    }
    return (fields & DM_FORMNAME) != 0 || job.dmPaperSize != 0;
}

BOOL QueryPrint(PDEVQUERYPRINT_INFO info) {
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WriteUiLog("Entering the function DevQueryPrintEx", info->hPrinter);
    if (info->pDevMode == nullptr) {
        return TRUE;
    }
    const velt::HeapPtr<DRIVER_DEVMODE> scratch = velt::HeapAllocate<DRIVER_DEVMODE>(0);
    if (!scratch) {
        return FALSE;
    }
    DevmodeSetDefaults(scratch.get(), nullptr);
    if (!DevmodeMerge(scratch.get(), info->pDevMode, CONFIGURATION_INTERFACE_MERGE_RULES)) {
        return FALSE;
    }
    DRIVER_DEVMODE own;
    if (!OwnFields(info->pDevMode, &own)) {
        return FALSE;
    }
    return NamesPaper(own.dmPublic) ? TRUE : FALSE;
}

} // namespace

UIAPI_EXPORT BOOL APIENTRY DevQueryPrintEx(PDEVQUERYPRINT_INFO pDQPInfo) { return QueryPrint(pDQPInfo); }
