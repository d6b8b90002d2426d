// DrvConvertDevMode: device modes converted between sizes, and the driver's default device mode.
#include "ui_entry_points.h"
#include "ui_services.h"

namespace {

const WCHAR kDefaultDeviceName[] = TEXT("VELT");

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// The output keeps its own version and sizes; only what both records hold is copied.
BOOL Convert(PDEVMODEW input, PDEVMODEW output, PLONG needed) {
    if (output == nullptr || input == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER); // no output size can be known, or nothing to convert
    }
    const LONG outputSize = static_cast<LONG>(output->dmSize) + output->dmDriverExtra;
    if (*needed < outputSize) {
        *needed = outputSize;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    if (DevmodeCopyContent(input, output) == 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    *needed = outputSize;
    return TRUE;
}

BOOL DriverDefault(PDEVMODEW output, PLONG needed) {
    if (output == nullptr || *needed < static_cast<LONG>(sizeof(DRIVER_DEVMODE))) {
        *needed = sizeof(DRIVER_DEVMODE);
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    DevmodeSetDefaults(reinterpret_cast<DRIVER_DEVMODE*>(output), kDefaultDeviceName);
    return TRUE;
}

BOOL ConvertDevmode(LPWSTR printerName, PDEVMODEW input, PDEVMODEW output, PLONG needed, DWORD mode) {
    WriteUiLogFor(printerName, "Entering DrvConvertDevMode");
    if (needed == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    switch (mode) {
    case CDM_CONVERT: return Convert(input, output, needed);
    case CDM_DRIVER_DEFAULT: return DriverDefault(output, needed);
    default: return TRUE; // CDM_CONVERT351 and anything else: nothing to write
    }
}

} // namespace

UIAPI_EXPORT BOOL APIENTRY DrvConvertDevMode(LPWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut, PLONG pcbNeeded,
                                             DWORD fMode) {
    return ConvertDevmode(pPrinterName, pdmIn, pdmOut, pcbNeeded, fMode);
}
