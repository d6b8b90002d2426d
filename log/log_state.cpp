#include "log_state.h"

namespace velt::log {

namespace {

LogProcessState g_state{};

// The platform's critical section, made on first use. It is never deleted (no destructor): a thread of
// the process may still write a line while the process ends.
struct StateSection {
    CRITICAL_SECTION section;
    StateSection() { InitializeCriticalSection(&section); }
};

CRITICAL_SECTION* TheStateSection() {
    static StateSection made;
    return &made.section;
}

} // namespace

LogProcessState& ProcessState() {
    return g_state;
}

ProcessStateLock::ProcessStateLock() {
    EnterCriticalSection(TheStateSection());
}

ProcessStateLock::~ProcessStateLock() {
    LeaveCriticalSection(TheStateSection());
}

bool IsLastRecordDate(const LogProcessState& state, const SYSTEMTIME& now) {
    return state.lastDay == now.wDay && state.lastMonth == now.wMonth && state.lastYear == now.wYear;
}

void RememberRecordDate(LogProcessState& state, const SYSTEMTIME& now) {
    state.lastDay = now.wDay;
    state.lastMonth = now.wMonth;
    state.lastYear = now.wYear;
}

} // namespace velt::log
