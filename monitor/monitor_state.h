// The monitor-wide state of the language monitor: one instance per loaded library, made when the
// library is attached to a process (or at first use) and never torn down.
#pragma once

#include <atomic>

#include "platform.h"
#include "port_record.h"

namespace lmon {

#define CURRENT_JOB_PRINTER_NAME_CHARS 272 // with the terminating zero
#define OPENED_PRINTER_NAME_CHARS 260      // with the terminating zero
#define MONITOR_TEXT_CHARS 500
#define DEFAULT_END_OF_JOB_WAIT 60000
#define ACTIVE_WAIT 5000
#define IDLE_WAIT 30000

struct MonitorState {
    MonitorState();

    // Guards the port list, every job list, the two printer names, the text buffer and the resource
    // library's handle and use count. Re-entered by the thread that holds it.
    CRITICAL_SECTION lock;
    PortRecord* ports = nullptr; // newest first

    HMODULE resources = nullptr;
    SHORT resourceUses = 0;
    WCHAR text[MONITOR_TEXT_CHARS] = {};

    std::atomic<LONG> logBusy{0};            // one log line at a time; a colliding line is dropped
    std::atomic<HANDLE> logPrinter{nullptr}; // the printer of the most recently started job
    std::atomic<DWORD> currentJobId{0};
    WCHAR currentJobPrinterName[CURRENT_JOB_PRINTER_NAME_CHARS] = {};
    WCHAR openedPrinterName[OPENED_PRINTER_NAME_CHARS] = {};
    std::atomic<LONG> fillPending{0}; // the last fill block went nowhere: send it before the next write

    std::atomic<DWORD> endOfJobWait{DEFAULT_END_OF_JOB_WAIT};
    std::atomic<DWORD> activeWait{ACTIVE_WAIT};
    std::atomic<DWORD> idleWait{IDLE_WAIT};
};

MonitorState& Monitor();

// Holds the monitor lock for its scope.
class MonitorLock {
public:
    MonitorLock() { EnterCriticalSection(&Monitor().lock); }
    ~MonitorLock() { LeaveCriticalSection(&Monitor().lock); }
    MonitorLock(const MonitorLock&) = delete;
    MonitorLock& operator=(const MonitorLock&) = delete;
};

// The two monitor-wide printer names. A name that does not fit its field is not kept in part: the
// field is emptied, so that no other printer whose name is a prefix of it is ever opened in its place.
void SetCurrentJobPrinterName(LPCWSTR name);
void SetOpenedPrinterName(LPCWSTR name);
// Copies of them (chars: the size of `out`, at least the field's size).
void CopyCurrentJobPrinterName(WCHAR* out, int chars);
void CopyOpenedPrinterName(WCHAR* out, int chars);

// Back to the state of a freshly loaded library, except the lock and the port list (tests).
void ResetMonitorState();

} // namespace lmon
