// Despooling: a finished job goes to its printer's port through the monitor stack, one job at a
// time per printer: OpenPort, StartDocPort, WritePort until every byte is taken, EndDocPort,
// ClosePort. A job that can't be sent stays in the queue marked in error.
#include <map>
#include <memory>

#include <winbase.h>
#include "spooler/internal.h"
#include "store/internal.h"

namespace host {

namespace {

// A port that keeps taking nothing is given up after this many tries, some time apart.
constexpr int kZeroWritesBeforeError = 20;
constexpr DWORD kZeroWritePauseMs = 100;
constexpr DWORD kWriteChunk = 64 * 1024;

std::mutex& PrinterDespoolLock(int64_t printerId) {
    static auto* lock = new std::mutex;
    static auto* locks = new std::map<int64_t, std::unique_ptr<std::mutex>>;
    std::lock_guard guard(*lock);
    auto& slot = (*locks)[printerId];
    if (!slot) slot = std::make_unique<std::mutex>();
    return *slot;
}

bool TakesJobsNow(const PrinterRecord& printer) {
    return !(printer.status & PRINTER_STATUS_PAUSED) && !(printer.attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE);
}

bool Cancelled(DWORD jobId) {
    JobBook& book = Jobs();
    std::lock_guard guard(book.lock);
    auto it = book.queue.find(jobId);
    return it == book.queue.end() || (it->second.status & JOB_STATUS_DELETING);
}

// Writes every byte; false on a failed write, a port that takes nothing, or a cancelled job.
bool WriteAll(PortStack& port, DWORD jobId, std::vector<uint8_t>& data) {
    size_t done = 0;
    int zeroWrites = 0;
    while (done < data.size()) {
        if (Cancelled(jobId)) return false;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, kWriteChunk));
        DWORD written = 0;
        if (!port.Table().pfnWritePort(port.Handle(), data.data() + done, chunk, &written)) return false;
        if (written == 0) {
            if (++zeroWrites >= kZeroWritesBeforeError) return false;
            Sleep(kZeroWritePauseMs);
            continue;
        }
        zeroWrites = 0;
        done += std::min(written, chunk);
    }
    return true;
}

// Sends one job; true when all its bytes went out.
bool Send(const PrinterRecord& printer, Job& job) {
    PortStack port;
    if (!port.Open(printer, job.outputFile.empty() ? printer.port : job.outputFile)) return false;
    std::u16string document = job.document, datatype = job.datatype, printerName = printer.name;
    DOC_INFO_1W info{document.data(), nullptr, datatype.empty() ? nullptr : datatype.data()};
    if (!port.Table().pfnStartDocPort(port.Handle(), printerName.data(), job.id, 1, reinterpret_cast<LPBYTE>(&info)))
        return false;
    const bool sent = WriteAll(port, job.id, job.data);
    const bool ended = port.Table().pfnEndDocPort(port.Handle());
    return sent && ended;
}

} // namespace

void DespoolJob(DWORD jobId) {
    JobBook& book = Jobs();
    int64_t printerId;
    std::vector<uint8_t> devmode;
    {
        std::lock_guard guard(book.lock);
        auto it = book.queue.find(jobId);
        if (it == book.queue.end() || !it->second.ended || it->second.despooling) return;
        printerId = it->second.printerId;
        devmode = it->second.devmode;
    }
    std::lock_guard serial(PrinterDespoolLock(printerId));
    std::optional<PrinterRecord> printer;
    {
        std::lock_guard storeGuard(StoreLock());
        printer = LoadPrinter(printerId);
    }
    // The printer's configuration interface decides whether the job can print with its device mode.
    const bool allowed = !printer || DriverAllowsJob(*printer, devmode);
    Job job;
    {
        std::lock_guard guard(book.lock);
        auto it = book.queue.find(jobId);
        if (it == book.queue.end() || !it->second.ended || it->second.despooling) return;
        if (!printer || (it->second.status & JOB_STATUS_DELETING)) {
            RetireJob(book, it, JOB_STATUS_DELETED);
            return;
        }
        if (!TakesJobsNow(*printer) || (it->second.Status() & (JOB_STATUS_PAUSED | JOB_STATUS_ERROR))) return;
        if (!allowed) {
            it->second.status |= JOB_STATUS_BLOCKED_DEVQ; // held in the queue
            return;
        }
        it->second.status &= ~JOB_STATUS_BLOCKED_DEVQ;
        it->second.despooling = true;
        it->second.status = (it->second.status & ~JOB_STATUS_RESTART) | JOB_STATUS_PRINTING;
        job.id = jobId;
        job.document = it->second.document;
        job.datatype = it->second.datatype;
        job.outputFile = it->second.outputFile;
        job.data = it->second.data; // the queued copy stays for a restart
    }
    const bool sent = Send(*printer, job);
    std::lock_guard guard(book.lock);
    auto it = book.queue.find(jobId);
    if (it == book.queue.end()) return;
    it->second.despooling = false;
    it->second.status &= ~JOB_STATUS_PRINTING;
    if (it->second.status & JOB_STATUS_DELETING) {
        RetireJob(book, it, JOB_STATUS_DELETED);
    } else if (sent) {
        it->second.pagesPrinted = it->second.pages;
        RetireJob(book, it, JOB_STATUS_PRINTED);
    } else {
        it->second.status |= JOB_STATUS_ERROR;
    }
}

void DespoolWaitingJobs(int64_t printerId) {
    std::vector<DWORD> waiting;
    {
        JobBook& book = Jobs();
        std::lock_guard guard(book.lock);
        for (const auto& [id, job] : book.queue)
            if (job.printerId == printerId && job.ended && !job.despooling) waiting.push_back(id);
    }
    for (DWORD id : waiting) DespoolJob(id);
}

} // namespace host
