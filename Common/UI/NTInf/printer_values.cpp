// Printer-data values of the printer being worked on.
#include <cstring>

#include "ui_services.h"

namespace {

// The platform's printer-data calls take writable names.
bool CopyValueName(LPCWSTR valueName, WCHAR (&name)[MAX_PATH]) {
    if (valueName == nullptr || lstrlenW(valueName) >= MAX_PATH) {
        return false;
    }
    lstrcpynW(name, valueName, MAX_PATH);
    return true;
}

} // namespace

BOOL ReadPrinterValue(LPCWSTR valueName, DWORD size, velt::HeapBlock* buffer) {
    if (buffer == nullptr) {
        return FALSE;
    }
    // The buffer is the caller's whatever happens next; a zero size still gives a block to free.
    *buffer = velt::HeapAllocate(HEAP_ZERO_MEMORY, size > 0 ? size : 1);
    if (!*buffer) {
        return FALSE;
    }
    WCHAR name[MAX_PATH];
    if (!CopyValueName(valueName, name)) {
        return FALSE;
    }
    const velt::PrinterHandle printer = velt::OpenPrinterFor(currentPrinterName, PRINTER_ACCESS_USE);
    if (!printer) {
        return FALSE;
    }
    DWORD type = 0;
    DWORD needed = 0;
    return GetPrinterDataW(printer.get(), name, &type, buffer->get(), size, &needed) == ERROR_SUCCESS ? TRUE : FALSE;
}

void WritePrinterValue(LPCWSTR valueName, const BYTE* data, DWORD size) {
    WCHAR name[MAX_PATH];
    if (!CopyValueName(valueName, name) || (data == nullptr && size > 0)) {
        return;
    }
    const velt::PrinterHandle printer = velt::OpenPrinterFor(currentPrinterName, PRINTER_ALL_ACCESS);
    if (!printer) {
        return;
    }
    // The platform call takes a writable buffer: the caller's bytes go through a copy.
    velt::HeapBlock copy = velt::HeapAllocate(0, size > 0 ? size : 1);
    if (!copy) {
        return;
    }
    if (size > 0) {
        std::memcpy(copy.get(), data, size);
    }
    SetPrinterDataW(printer.get(), name, REG_BINARY, copy.get(), size);
}
