// The test view of jobs: queued and finished jobs of one printer.
#include <algorithm>

#include "host/testing.h"
#include "kernel/internal.h"
#include "spooler/internal.h"

namespace {

HostJobRecord RecordOf(const host::Job& job, DWORD size) {
    return HostJobRecord{job.id, job.document, job.Status(), size, job.pages, job.statusText};
}

} // namespace

std::vector<HostJobRecord> HostJobs(const char16_t* printerName) {
    const std::u16string_view name = host::View(printerName);
    std::vector<HostJobRecord> records;
    host::JobBook& book = host::Jobs();
    std::lock_guard guard(book.lock);
    for (const auto& job : book.finished)
        if (host::EqualNoCase(job.printerName, name)) records.push_back(RecordOf(job, job.finishedSize));
    for (const auto& [id, job] : book.queue)
        if (host::EqualNoCase(job.printerName, name))
            records.push_back(RecordOf(job, static_cast<DWORD>(job.data.size())));
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    return records;
}
