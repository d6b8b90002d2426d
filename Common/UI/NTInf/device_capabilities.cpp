// DrvDeviceCapabilities: what the printer supports, asked by applications and the spooler.
#include "device_capabilities.h"
#include "ui_entry_points.h"
#include "ui_services.h"

namespace {

DWORD Capabilities(HANDLE printer, PWSTR deviceName, WORD index, PVOID output, PDEVMODEW input) {
    WriteUiLog("Entering DrvDeviceCapabilities", printer);
    const velt::HeapPtr<DRIVER_DEVMODE> scratch = velt::HeapAllocate<DRIVER_DEVMODE>(0);
    if (!scratch) {
        return GDI_ERROR;
    }
    DevmodeSetDefaults(scratch.get(), deviceName);
    SetCurrentPrinterName(deviceName);

    // The printer's stored table; without one, the table in force is stored for it and used.
    CUSTOM_PAPER_LIST papers = InMemoryCustomPaperList();
    if (!ReadCustomPaperList(currentPrinterName, &papers)) {
        papers = InMemoryCustomPaperList();
        WriteCustomPaperList(currentPrinterName, &papers);
    }
    if (!DevmodeMerge(scratch.get(), input, CONFIGURATION_INTERFACE_MERGE_RULES)) {
        return GDI_ERROR;
    }
    return AnswerCapability(index, *scratch, papers, output);
}

} // namespace

UIAPI_EXPORT DWORD APIENTRY DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap, PVOID pvOutput,
                                                  PDEVMODEW pDevMode) {
    return Capabilities(hPrinter, pDeviceName, iDevCap, pvOutput, pDevMode);
}
