#include "log_state.h"

namespace velt::log {

namespace {

LogProcessState g_state{};
std::mutex g_stateLock;

} // namespace

LogProcessState& ProcessState() {
    return g_state;
}

std::unique_lock<std::mutex> LockProcessState() {
    return std::unique_lock<std::mutex>(g_stateLock);
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
