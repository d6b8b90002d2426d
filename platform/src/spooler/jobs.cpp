// Documents: StartDocPrinterW opens a job on the handle, WritePrinter appends to it, EndDocPrinter
// hands it to the despooler, AbortPrinter drops it.
#include <algorithm>
#include <utility>

#include "kernel/internal.h"
#include "spooler/internal.h"
#include "store/internal.h"

namespace host {

JobBook& Jobs() {
    static auto* book = new JobBook;
    return *book;
}

void RetireJob(JobBook& book, std::map<DWORD, Job>::iterator job, DWORD finalStatus) {
    Job done = std::move(job->second);
    book.queue.erase(job);
    done.status = finalStatus;
    done.monitorStatus = 0;
    done.finishedSize = static_cast<DWORD>(done.data.size());
    if (!KeepJobData()) {
        done.data.clear();
        done.data.shrink_to_fit();
    }
    book.finished.push_back(std::move(done));
}

void ForgetPrinterJobs(int64_t printerId) {
    JobBook& book = Jobs();
    std::lock_guard guard(book.lock);
    for (auto it = book.queue.begin(); it != book.queue.end();) {
        auto next = std::next(it);
        if (it->second.printerId == printerId) {
            if (it->second.despooling)
                it->second.status |= JOB_STATUS_DELETING; // the despooler retires it
            else
                RetireJob(book, it, JOB_STATUS_DELETED);
        }
        it = next;
    }
}

void ResetJobs() {
    JobBook& book = Jobs();
    std::lock_guard guard(book.lock);
    book.queue.clear();
    book.finished.clear();
}

namespace {

// The job a handle writes, under the book's lock; null with ERROR_SPL_NO_STARTDOC if none.
Job* HandleJob(JobBook& book, PrinterHandle& handle) {
    std::lock_guard guard(handle.lock);
    auto it = handle.jobId ? book.queue.find(handle.jobId) : book.queue.end();
    if (it == book.queue.end()) {
        SetLastError(ERROR_SPL_NO_STARTDOC);
        return nullptr;
    }
    return &it->second;
}

DWORD TakeHandleJob(PrinterHandle& handle) {
    std::lock_guard guard(handle.lock);
    return std::exchange(handle.jobId, 0);
}

// The prologue of every call on a handle's open document: the handle is found, the book locked
// and the document looked up; `body` runs with all three, or FALSE comes back with the last error.
template <typename Body>
BOOL WithHandleJob(HANDLE printer, Body body) {
    return Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto handle = FindPrinterHandle(printer);
        if (!handle) return FALSE;
        JobBook& book = Jobs();
        std::lock_guard guard(book.lock);
        Job* job = HandleJob(book, *handle);
        if (!job) return FALSE;
        return body(book, *handle, *job);
    });
}

} // namespace

void EndHandleDocument(PrinterHandle& handle) {
    const DWORD id = TakeHandleJob(handle);
    if (!id) return;
    {
        JobBook& book = Jobs();
        std::lock_guard guard(book.lock);
        auto it = book.queue.find(id);
        if (it == book.queue.end()) return;
        it->second.ended = true;
        it->second.status &= ~JOB_STATUS_SPOOLING;
        if (it->second.status & JOB_STATUS_DELETING) { // cancelled while it was being written
            RetireJob(book, it, JOB_STATUS_DELETED);
            return;
        }
    }
    DespoolJob(id);
}

} // namespace host

extern "C" {

DWORD StartDocPrinterW(HANDLE printer, DWORD level, LPBYTE docInfo) {
    return host::Guarded<DWORD>(0, [&]() -> DWORD {
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return 0;
        if (level != 1 && level != 2) {
            SetLastError(ERROR_INVALID_LEVEL);
            return 0;
        }
        const auto* info = reinterpret_cast<const DOC_INFO_1W*>(docInfo); // level 2 starts with the same fields
        if (!info) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (!handle->CanUse()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
        host::Job job;
        std::optional<host::PrinterRecord> printerRecord;
        {
            std::lock_guard guard(host::StoreLock());
            const auto& record = printerRecord = host::LoadPrinter(handle->printerId);
            if (!record) {
                SetLastError(ERROR_INVALID_PRINTER_NAME);
                return 0;
            }
            job.printerName = record->name;
            job.driverName = record->driver;
            job.datatype = info->pDatatype             ? host::View(info->pDatatype)
                           : !handle->datatype.empty() ? std::u16string_view(handle->datatype)
                                                       : std::u16string_view(record->datatype);
            job.devmode = handle->devmode.empty() ? record->devmode : handle->devmode;
            job.priority = record->defaultPriority ? record->defaultPriority : 1;
        }
        job.printerId = handle->printerId;
        job.document = host::View(info->pDocName);
        job.outputFile = host::View(info->pOutputFile);
        job.status = JOB_STATUS_SPOOLING;
        GetLocalTime(&job.submitted);

        {
            host::JobBook& book = host::Jobs();
            std::lock_guard guard(book.lock);
            std::lock_guard handleGuard(handle->lock);
            if (handle->jobId && book.queue.count(handle->jobId)) {
                SetLastError(ERROR_INVALID_PRINTER_STATE); // one document at a time per handle
                return 0;
            }
        }
        // The printer's port is opened through its language monitor as its first job starts spooling,
        // so that the monitor's status worker has asked the printer before the job is despooled. A port
        // that won't open now is tried again when the job is despooled.
        if (job.outputFile.empty()) {
            std::optional<host::MonitorPort> port;
            host::OpenMonitorPort(*printerRecord, &port);
        }
        {
            std::lock_guard guard(host::StoreLock());
            job.id = host::NextJobId();
        }
        host::JobBook& book = host::Jobs();
        std::lock_guard guard(book.lock);
        std::lock_guard handleGuard(handle->lock);
        if (handle->jobId && book.queue.count(handle->jobId)) {
            SetLastError(ERROR_INVALID_PRINTER_STATE);
            return 0;
        }
        handle->jobId = job.id;
        const DWORD id = job.id;
        book.queue.emplace(id, std::move(job));
        return id;
    });
}

BOOL StartPagePrinter(HANDLE printer) {
    return host::WithHandleJob(printer, [](host::JobBook&, host::PrinterHandle&, host::Job& job) -> BOOL {
        ++job.pages;
        return TRUE;
    });
}

BOOL WritePrinter(HANDLE printer, LPVOID data, DWORD bytes, LPDWORD written) {
    if (written) *written = 0;
    return host::WithHandleJob(printer, [&](host::JobBook&, host::PrinterHandle&, host::Job& job) -> BOOL {
        if (!written || (bytes && !data)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (job.status & JOB_STATUS_DELETING) {
            SetLastError(ERROR_PRINT_CANCELLED);
            return FALSE;
        }
        if (host::PrinterWriteFault().Hit()) {
            SetLastError(ERROR_WRITE_FAULT);
            return FALSE;
        }
        const DWORD limit = host::PrinterWriteLimit();
        if (limit != 0 && bytes > limit) bytes = limit;
        const auto* p = static_cast<const uint8_t*>(data);
        job.data.insert(job.data.end(), p, p + bytes);
        *written = bytes;
        return TRUE;
    });
}

BOOL EndPagePrinter(HANDLE printer) {
    return host::WithHandleJob(printer, [](host::JobBook&, host::PrinterHandle&, host::Job&) -> BOOL { return TRUE; });
}

BOOL EndDocPrinter(HANDLE printer) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return FALSE;
        {
            host::JobBook& book = host::Jobs();
            std::lock_guard guard(book.lock);
            if (!host::HandleJob(book, *handle)) return FALSE;
        }
        host::EndHandleDocument(*handle);
        return TRUE;
    });
}

BOOL AbortPrinter(HANDLE printer) {
    return host::WithHandleJob(printer, [](host::JobBook& book, host::PrinterHandle& handle, host::Job&) -> BOOL {
        const DWORD id = host::TakeHandleJob(handle);
        host::RetireJob(book, book.queue.find(id), JOB_STATUS_DELETED);
        return TRUE;
    });
}

} // extern "C"
