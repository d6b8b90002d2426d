// Log lines of the rendering driver, through the log library's four calls as module 0.
#include "driver_log.h"

#include <cstdio>

#include "device_instance.h"
#include "VELTlog.h"

void DrvLog(const char* message, HANDLE printer, DWORD timeStamp) {
    if (!VLK_IsLogFileEnabled(printer)) {
        return;
    }
    HANDLE log = VLK_LogCreateFile(LOG_MODULE_PRINTER_DRIVER, printer);
    if (log == nullptr) {
        return;
    }
    VLK_LogWrite(log, message, timeStamp);
    VKL_LogFileClose(log);
}

velt::PrinterHandle OpenOwnPrinter(const WCHAR* printerName) {
    // An empty name would open the print server rather than a printer.
    if (printerName == nullptr || printerName[0] == 0) {
        return velt::PrinterHandle();
    }
    WCHAR name[PRINTER_NAME_CHARS];
    lstrcpynW(name, printerName, PRINTER_NAME_CHARS);
    return velt::OpenPrinterFor(name, PRINTER_ALL_ACCESS);
}

void LogEntry(const char* entryPoint, const WCHAR* printerName) {
    char line[96];
    std::snprintf(line, sizeof line, "Entering the function %s", entryPoint);
    const velt::PrinterHandle printer = OpenOwnPrinter(printerName);
    DrvLog(line, printer.get(), 1);
}

void LogEntry(const char* entryPoint, const PDEV* pdev) {
    LogEntry(entryPoint, pdev != nullptr ? pdev->PrinterName : nullptr);
}
