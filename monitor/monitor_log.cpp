// Log lines through the log library's four calls.
#include "monitor_log.h"

#include "VELTlog.h"
#include "monitor_state.h"

namespace lmon {

BOOL WriteMonitorLog(const char* text, HANDLE printer) {
    MonitorState& m = Monitor();
    LONG idle = 0;
    if (!m.logBusy.compare_exchange_strong(idle, 1)) {
        return 0;
    }
    if (VLK_IsLogFileEnabled(printer)) {
        HANDLE file = VLK_LogCreateFile(LOG_MODULE_LANGUAGE_MONITOR, printer);
        if (file != nullptr) {
            VLK_LogWrite(file, text, 1);
            VKL_LogFileClose(file);
        }
    }
    m.logBusy.store(0);
    return 1;
}

HANDLE LogPrinter() { return Monitor().logPrinter.load(); }

} // namespace lmon
