// The spool data of jobs for tools and tests: what the driver wrote through WritePrinter, byte for byte.
#include <atomic>

#include "host/testing.h"
#include "kernel/internal.h"
#include "spooler/internal.h"

namespace host {
namespace {
std::atomic<bool> keepJobData{false};
}

bool KeepJobData() { return keepJobData.load(); }

} // namespace host

extern "C" void HostKeepJobData(BOOL keep) { host::keepJobData.store(keep != FALSE); }

bool HostJobData(const char16_t* printerName, DWORD jobId, std::vector<uint8_t>* bytes) {
    const std::u16string_view name = host::View(printerName);
    host::JobBook& book = host::Jobs();
    std::lock_guard guard(book.lock);
    if (auto it = book.queue.find(jobId); it != book.queue.end() && host::EqualNoCase(it->second.printerName, name)) {
        *bytes = it->second.data;
        return true;
    }
    for (const auto& job : book.finished) {
        // A finished job without its bytes answers nothing rather than an empty job.
        if (job.id != jobId || !host::EqualNoCase(job.printerName, name)) continue;
        if (job.data.size() != job.finishedSize) return false;
        *bytes = job.data;
        return true;
    }
    return false;
}
