// The printer-state checks that guard every request to the printer.
#include "ui_services.h"

velt::HeapBlock ReadPrinterInfo2(HANDLE printer) {
    DWORD needed = 0;
    if (!GetPrinterW(printer, 2, nullptr, 0, &needed) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return {};
    }
    if (needed < sizeof(PRINTER_INFO_2W)) {
        return {};
    }
    velt::HeapBlock info = velt::HeapAllocate(HEAP_ZERO_MEMORY, needed);
    if (!info || !GetPrinterW(printer, 2, info.get(), needed, &needed)) {
        return {};
    }
    return info;
}

namespace {

// Whether the printer's level-2 size query works and answers a size.
bool InfoSizeAnswers(HANDLE printer) {
    DWORD needed = 0;
    if (!GetPrinterW(printer, 2, nullptr, 0, &needed) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return false;
    }
    return needed > 0;
}

bool CurrentPrinterHasAttribute(DWORD attribute) {
    const velt::PrinterHandle printer = velt::OpenPrinterFor(currentPrinterName, PRINTER_ALL_ACCESS);
    if (!printer) {
        return false;
    }
    const velt::HeapBlock info = ReadPrinterInfo2(printer.get());
    if (!info) {
        return false;
    }
    return (reinterpret_cast<const PRINTER_INFO_2W*>(info.get())->Attributes & attribute) != 0;
}

} // namespace

bool IsPrinterIdle(HANDLE printer) {
    const velt::HeapBlock info = ReadPrinterInfo2(printer);
    if (!info) {
        return false;
    }
    const DWORD jobCount = reinterpret_cast<const PRINTER_INFO_2W*>(info.get())->cJobs;

    DWORD needed = 0;
    DWORD returned = 0;
    if (!EnumJobsW(printer, 0, jobCount, 2, nullptr, 0, &needed, &returned) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return false;
    }
    // An empty queue needs no bytes; the enumeration still gets a (zeroed) block of its own.
    const DWORD size = needed > 0 ? needed : 1;
    velt::HeapBlock jobs = velt::HeapAllocate(HEAP_ZERO_MEMORY, size);
    if (!jobs || !EnumJobsW(printer, 0, jobCount, 2, jobs.get(), size, &needed, &returned)) {
        return false;
    }
    if (returned > 0) {
        return false;
    }
    return InfoSizeAnswers(printer);
}

bool IsBidiEnabled() { return CurrentPrinterHasAttribute(PRINTER_ATTRIBUTE_ENABLE_BIDI); }

bool IsPrinterOffline() { return CurrentPrinterHasAttribute(PRINTER_ATTRIBUTE_WORK_OFFLINE); }
