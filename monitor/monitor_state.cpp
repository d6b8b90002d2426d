// The monitor-wide state and its printer names.
#include "monitor_state.h"

namespace lmon {

namespace {

void SetName(WCHAR* field, int chars, LPCWSTR name) {
    MonitorLock lock;
    if (name == nullptr || lstrlenW(name) >= chars) {
        field[0] = 0;
        return;
    }
    lstrcpynW(field, name, chars);
}

void CopyName(const WCHAR* field, WCHAR* out, int chars) {
    MonitorLock lock;
    lstrcpynW(out, field, chars);
}

} // namespace

MonitorState::MonitorState() { InitializeCriticalSection(&lock); }

MonitorState& Monitor() {
    static MonitorState state; // the lock is never deleted: the state outlives every caller
    return state;
}

void SetCurrentJobPrinterName(LPCWSTR name) {
    SetName(Monitor().currentJobPrinterName, CURRENT_JOB_PRINTER_NAME_CHARS, name);
}

void SetOpenedPrinterName(LPCWSTR name) { SetName(Monitor().openedPrinterName, OPENED_PRINTER_NAME_CHARS, name); }

void CopyCurrentJobPrinterName(WCHAR* out, int chars) { CopyName(Monitor().currentJobPrinterName, out, chars); }

void CopyOpenedPrinterName(WCHAR* out, int chars) { CopyName(Monitor().openedPrinterName, out, chars); }

void ResetMonitorState() {
    MonitorState& m = Monitor();
    MonitorLock lock;
    m.logBusy = 0;
    m.logPrinter = nullptr;
    m.currentJobId = 0;
    m.currentJobPrinterName[0] = 0;
    m.openedPrinterName[0] = 0;
    m.fillPending = 0;
    m.endOfJobWait = DEFAULT_END_OF_JOB_WAIT;
    m.activeWait = ACTIVE_WAIT;
    m.idleWait = IDLE_WAIT;
}

} // namespace lmon
