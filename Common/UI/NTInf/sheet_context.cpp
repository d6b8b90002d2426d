// The working data of a property sheet.
#include <cstring>

#include "sheet_context.h"
#include "ui_services.h"

namespace {

LPWSTR CopyName(LPCWSTR name) {
    const int length = name != nullptr ? lstrlenW(name) : 0;
    auto* copy = static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (length + 1) * sizeof(WCHAR)));
    if (copy != nullptr && length > 0) {
        std::memcpy(copy, name, length * sizeof(WCHAR));
    }
    return copy;
}

} // namespace

BOOL BuildSheetDevmode(HANDLE printer, const DEVMODEW* input, DRIVER_DEVMODE* devmode, LPWSTR* driverName) {
    if (devmode == nullptr) {
        return FALSE;
    }
    const velt::HeapBlock info = ReadPrinterInfo2(printer);
    if (!info) {
        return FALSE;
    }
    const auto* level2 = reinterpret_cast<const PRINTER_INFO_2W*>(info.get());
    if (driverName != nullptr) {
        *driverName = CopyName(level2->pDriverName);
        if (*driverName == nullptr) {
            return FALSE;
        }
    }
    DevmodeSetDefaults(devmode, level2->pDriverName);
    DevmodeMerge(devmode, level2->pDevMode, CONFIGURATION_INTERFACE_MERGE_RULES);
    DevmodeMerge(devmode, input, CONFIGURATION_INTERFACE_MERGE_RULES);
    devmode->dmPublic.dmDriverExtra = DRIVER_DEVMODE_PRIVATE_BYTES;
    ReadCustomPaperList(currentPrinterName, &InMemoryCustomPaperList());
    return TRUE;
}

PSHEET_CONTEXT CreateSheetContext(HANDLE printer, const DEVMODEW* input) {
    auto* context = static_cast<PSHEET_CONTEXT>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SHEET_CONTEXT)));
    if (context == nullptr) {
        return nullptr;
    }
    context->self = context;
    context->printer = printer;
    context->inputDevmode = input;
    if (!BuildSheetDevmode(printer, input, &context->devmode, &context->driverName)) {
        ReleaseSheetContext(context);
        return nullptr;
    }
    const StoredSettingsRecord stored = ReadSettingsRecord(printer);
    context->settings = SettingsRecordWorkingCopy(stored);
    return context;
}

void ReleaseSheetContext(PSHEET_CONTEXT context) {
    if (context == nullptr) {
        return;
    }
    if (context->sheetInfo != nullptr) HeapFree(GetProcessHeap(), 0, context->sheetInfo);
    if (context->optionItems != nullptr) HeapFree(GetProcessHeap(), 0, context->optionItems);
    if (context->driverName != nullptr) HeapFree(GetProcessHeap(), 0, context->driverName);
    HeapFree(GetProcessHeap(), 0, context);
}
