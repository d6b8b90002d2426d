#include "log_state.h"

namespace velt::log {

namespace {

LogProcessState g_state{};

// The platform's critical section, made on first use and deleted when the library goes away.
struct StateSection {
    CRITICAL_SECTION section;
    StateSection() { InitializeCriticalSection(&section); }
    ~StateSection() { DeleteCriticalSection(&section); }
    StateSection(const StateSection&) = delete;
    StateSection& operator=(const StateSection&) = delete;
};

CRITICAL_SECTION* TheStateSection() {
    static StateSection made;
    return &made.section;
}

} // namespace

LogProcessState& ProcessState() { return g_state; }

ProcessStateLock::ProcessStateLock() { EnterCriticalSection(TheStateSection()); }

ProcessStateLock::~ProcessStateLock() { LeaveCriticalSection(TheStateSection()); }

bool IsLastRecordDate(const LogProcessState& state, const SYSTEMTIME& now) {
    return state.lastDay == now.wDay && state.lastMonth == now.wMonth && state.lastYear == now.wYear;
}

void RememberRecordDate(LogProcessState& state, const SYSTEMTIME& now) {
    state.lastDay = now.wDay;
    state.lastMonth = now.wMonth;
    state.lastYear = now.wYear;
}

} // namespace velt::log
