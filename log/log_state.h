// The library's process-wide state: one set for every module of the process, zero at load.
#pragma once

#include "VELTlog.h"

namespace velt::log {

struct LogProcessState {
    LOG_MODULE module; // given to the most recent VLK_LogCreateFile
    WORD lastDay;      // date of the most recent record of this process; 0 until one is written
    WORD lastMonth;
    WORD lastYear;
    DRIVER_LOG_SETTINGS settings; // from the most recent successful read; VLK_LogWrite has no printer
};

LogProcessState& ProcessState();

// Each export holds this for its whole run, so that threads of one process never see the state or the
// handle table half-changed. Sequences of create, write and close from different threads may still
// interleave: the module and settings are those of the most recent create.
class ProcessStateLock {
public:
    ProcessStateLock();
    ~ProcessStateLock();
    ProcessStateLock(const ProcessStateLock&) = delete;
    ProcessStateLock& operator=(const ProcessStateLock&) = delete;
};

inline ProcessStateLock LockProcessState() { return ProcessStateLock(); }

// True when the most recent record of this process was written on the date of `now`.
bool IsLastRecordDate(const LogProcessState& state, const SYSTEMTIME& now);
void RememberRecordDate(LogProcessState& state, const SYSTEMTIME& now);

} // namespace velt::log
