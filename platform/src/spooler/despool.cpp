// Despooling: a finished job goes to its printer's port, one job at a time per printer. A printer whose
// driver names a language monitor has its port open through that monitor already (it was opened when
// the printer's first job started spooling): StartDocPort, WritePort in pieces until every byte is
// taken, EndDocPort; the monitor may then hold the job until the printer reports its last page ejected.
// Any other printer, and a job printed to a file, goes straight to the port monitor: OpenPort,
// StartDocPort, WritePort, EndDocPort, ClosePort. A job that can't be sent stays in the queue marked in
// error; a job cancelled while its bytes are written stops being written, and its EndDocPort follows.
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
// Through a language monitor the bytes go in pieces of the printer's receive buffer, so that a job
// cancelled while its data is written stops within a piece.
constexpr DWORD kMonitorWriteChunk = 4 * 1024;

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
bool WriteAll(const MONITOR& table, HANDLE port, DWORD jobId, std::vector<uint8_t>& data, DWORD piece) {
    size_t done = 0;
    int zeroWrites = 0;
    while (done < data.size()) {
        if (Cancelled(jobId)) return false;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, piece));
        DWORD written = 0;
        if (!table.pfnWritePort(port, data.data() + done, chunk, &written)) return false;
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

void MarkDataSent(DWORD jobId) {
    JobBook& book = Jobs();
    std::lock_guard guard(book.lock);
    if (auto it = book.queue.find(jobId); it != book.queue.end()) it->second.dataSent = true;
}

// One document on an open port: start, every byte, end. EndDocPort runs whatever happened before it.
bool SendDocument(const MONITOR& table, HANDLE port, const PrinterRecord& printer, Job& job, DWORD piece) {
    std::u16string document = job.document, datatype = job.datatype, printerName = printer.name;
    DOC_INFO_1W info{document.data(), nullptr, datatype.empty() ? nullptr : datatype.data()};
    if (!table.pfnStartDocPort(port, printerName.data(), job.id, 1, reinterpret_cast<LPBYTE>(&info))) return false;
    const bool sent = WriteAll(table, port, job.id, job.data, piece);
    if (sent) MarkDataSent(job.id);
    const bool ended = table.pfnEndDocPort(port);
    return sent && ended;
}

// Sends one job; true when all its bytes went out. *viaMonitor tells whether a language monitor took it.
bool Send(const PrinterRecord& printer, Job& job, bool* viaMonitor) {
    *viaMonitor = false;
    if (job.outputFile.empty()) {
        std::optional<MonitorPort> monitor;
        if (!OpenMonitorPort(printer, &monitor)) return false;
        if (monitor) {
            *viaMonitor = true;
            return SendDocument(*monitor->table, monitor->handle, printer, job, kMonitorWriteChunk);
        }
    }
    PortStack port;
    if (!port.Open(job.outputFile.empty() ? printer.port : job.outputFile)) return false;
    return SendDocument(port.Table(), port.Handle(), printer, job, kWriteChunk);
}

} // namespace

void DespoolJob(DWORD jobId) {
    JobBook& book = Jobs();
    int64_t printerId;
    std::vector<uint8_t> devmode;
    {
        std::lock_guard guard(book.lock);
        auto it = book.queue.find(jobId);
        if (it == book.queue.end() || !it->second.ended || it->second.despooling || it->second.held) return;
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
        if (it == book.queue.end() || !it->second.ended || it->second.despooling || it->second.held) return;
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
    bool viaMonitor = false;
    const bool sent = Send(*printer, job, &viaMonitor);
    std::lock_guard guard(book.lock);
    auto it = book.queue.find(jobId);
    if (it == book.queue.end()) return;
    Job& done = it->second;
    done.despooling = false;
    done.status &= ~JOB_STATUS_PRINTING;
    if (done.status & JOB_STATUS_DELETING) {
        RetireJob(book, it, JOB_STATUS_DELETED);
    } else if (sent) {
        done.pagesPrinted = done.pages;
        // A language monitor that has not reported the last page ejected holds the job: it stays in
        // the queue, with what the monitor says of it, until the report comes.
        if (viaMonitor && !done.ejected)
            done.held = true;
        else
            RetireJob(book, it, JOB_STATUS_PRINTED);
    } else {
        done.dataSent = false;
        done.status |= JOB_STATUS_ERROR;
    }
}

void DespoolWaitingJobs(int64_t printerId) {
    std::vector<DWORD> waiting;
    {
        JobBook& book = Jobs();
        std::lock_guard guard(book.lock);
        for (const auto& [id, job] : book.queue)
            if (job.printerId == printerId && job.ended && !job.despooling && !job.held) waiting.push_back(id);
    }
    for (DWORD id : waiting) DespoolJob(id);
}

} // namespace host
