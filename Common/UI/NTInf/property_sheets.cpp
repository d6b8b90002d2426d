// The property-sheet entry points. Without a sheet, DrvDocumentPropertySheets answers the size of the
// driver's device mode or completes and copies a record; the pages themselves come with the sheets.
#include "sheet_context.h"
#include "ui_entry_points.h"
#include "ui_services.h"

namespace {

constexpr LONG kFailed = -1;
constexpr LONG kDone = 1;

LONG DocumentPropertiesWithoutSheet(PDOCUMENTPROPERTYHEADER header) {
    if (header == nullptr) {
        return 0;
    }
    if (header->fMode == 0 || header->pdmOut == nullptr) {
        header->cbOut = sizeof(DRIVER_DEVMODE);
        return sizeof(DRIVER_DEVMODE);
    }
    if ((header->fMode & (DM_UPDATE | DM_COPY)) == 0 || (header->fMode & DM_NOPERMISSION) != 0) {
        return kDone;
    }
    const PSHEET_CONTEXT context = CreateSheetContext(header->hPrinter, header->pdmIn);
    if (context == nullptr) {
        return kFailed;
    }
    DevmodeWriteOut(&context->devmode, header->pdmIn, header->pdmOut);
    ReleaseSheetContext(context);
    return kDone;
}

} // namespace

UIAPI_EXPORT LONG APIENTRY DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    if (pPSUIInfo == nullptr) {
        return DocumentPropertiesWithoutSheet(reinterpret_cast<PDOCUMENTPROPERTYHEADER>(lParam));
    }
    return kFailed; // no pages are offered yet
}

UIAPI_EXPORT LONG APIENTRY DrvDevicePropertySheets(PPROPSHEETUI_INFO /*pPSUIInfo*/, LPARAM /*lParam*/) {
    return kFailed; // no pages are offered yet
}

UIAPI_EXPORT LONG APIENTRY DrvDocumentProperties(HWND /*hWnd*/, HANDLE /*hPrinter*/, LPWSTR /*pDeviceName*/,
                                                 PDEVMODEW /*pdmOutput*/, PDEVMODEW /*pdmInput*/, DWORD /*fMode*/) {
    return kDone;
}

UIAPI_EXPORT LONG APIENTRY DrvAdvancedDocumentProperties(HWND /*hWnd*/, HANDLE /*hPrinter*/, LPWSTR /*pDeviceName*/,
                                                         PDEVMODEW /*pdmOutput*/, PDEVMODEW /*pdmInput*/) {
    return kDone;
}
