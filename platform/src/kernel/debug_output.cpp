// Debug output: kept for tests to read (the most recent lines only), and echoed to stderr when
// VELT_DEBUG_OUTPUT is set.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

#include <winbase.h>
#include "host/testing.h"
#include "kernel/internal.h"

namespace {

constexpr size_t kKeptLines = 10000;

struct DebugLog {
    std::mutex lock;
    std::deque<std::u16string> lines;
};

DebugLog& Log() {
    static auto* log = new DebugLog;
    return *log;
}

} // namespace

// A line that can't be kept is dropped (the last error says why); the caller goes on as ever.
extern "C" void OutputDebugStringW(LPCWSTR text) {
    host::Guarded([&] {
        const std::u16string line(host::View(text));
        if (std::getenv("VELT_DEBUG_OUTPUT")) std::fprintf(stderr, "%s", host::ToUtf8(line).c_str());
        DebugLog& log = Log();
        std::lock_guard guard(log.lock);
        log.lines.push_back(line);
        if (log.lines.size() > kKeptLines) log.lines.pop_front();
    });
}

std::vector<std::u16string> HostDebugOutput() {
    DebugLog& log = Log();
    std::lock_guard guard(log.lock);
    return {log.lines.begin(), log.lines.end()};
}

void HostClearDebugOutput() {
    DebugLog& log = Log();
    std::lock_guard guard(log.lock);
    log.lines.clear();
}
