// Log lines of the configuration interface, through the log library's four calls as module 1.
#include "VELTlog.h"
#include "ui_services.h"

bool WriteUiLog(const char* text, HANDLE printer) {
    if (text == nullptr || !VLK_IsLogFileEnabled(printer)) {
        return false;
    }
    HANDLE log = VLK_LogCreateFile(LOG_MODULE_PRINTER_UI, printer);
    if (log == nullptr) {
        return false;
    }
    VLK_LogWrite(log, text, 1);
    VKL_LogFileClose(log);
    return true;
}

void WriteUiLogFor(LPCWSTR printerName, const char* text) {
    // An empty name would open the print server rather than a printer.
    if (printerName == nullptr || printerName[0] == 0) {
        return;
    }
    const velt::PrinterHandle printer = velt::OpenPrinterFor(printerName, PRINTER_ALL_ACCESS);
    if (printer) {
        WriteUiLog(text, printer.get());
    }
}
