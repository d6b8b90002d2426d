// Jobs as the platform describes them (levels 1 and 2), and job control.
#include <cstdlib>

#include "kernel/internal.h"
#include "spooler/internal.h"

namespace {

using host::InfoPacker;
using host::Job;

// Job conditions a monitor may report through SetJobW; the spooler owns the other bits.
constexpr DWORD kMonitorStatusBits = JOB_STATUS_ERROR | JOB_STATUS_OFFLINE | JOB_STATUS_PAPEROUT |
                                     JOB_STATUS_USER_INTERVENTION | JOB_STATUS_BLOCKED_DEVQ;

std::u16string UserName() {
    const char* user = std::getenv("USER");
    return host::FromUtf8(user && *user ? user : "user");
}

struct JobOffsets {
    size_t printer, user, document, datatype, status, printProcessor, driver, devmode;
};

JobOffsets Reserve(InfoPacker& packer, const Job& job, const std::u16string& user, DWORD level) {
    JobOffsets o{};
    o.printer = packer.AddString(job.printerName);
    o.user = packer.AddString(user);
    o.document = packer.AddString(job.document);
    o.datatype = packer.AddString(job.datatype);
    o.status = packer.AddString(job.statusText);
    o.printProcessor = o.driver = o.devmode = InfoPacker::kNone;
    if (level == 2) {
        o.printProcessor = packer.AddString(u"WinPrint");
        o.driver = packer.AddString(job.driverName);
        o.devmode = packer.AddBytes(job.devmode, alignof(DEVMODEW));
    }
    return o;
}

void Fill(BYTE* base, BYTE* record, const Job& job, DWORD position, const JobOffsets& o, DWORD level) {
    if (level == 1) {
        auto* info = reinterpret_cast<JOB_INFO_1W*>(record);
        *info = JOB_INFO_1W{};
        info->JobId = job.id;
        info->pPrinterName = InfoPacker::At<WCHAR>(base, o.printer);
        info->pUserName = InfoPacker::At<WCHAR>(base, o.user);
        info->pDocument = InfoPacker::At<WCHAR>(base, o.document);
        info->pDatatype = InfoPacker::At<WCHAR>(base, o.datatype);
        info->pStatus = InfoPacker::At<WCHAR>(base, o.status);
        info->Status = job.Status();
        info->Priority = job.priority;
        info->Position = position;
        info->TotalPages = job.pages;
        info->PagesPrinted = job.pagesPrinted;
        info->Submitted = job.submitted;
        return;
    }
    auto* info = reinterpret_cast<JOB_INFO_2W*>(record);
    *info = JOB_INFO_2W{};
    info->JobId = job.id;
    info->pPrinterName = InfoPacker::At<WCHAR>(base, o.printer);
    info->pUserName = InfoPacker::At<WCHAR>(base, o.user);
    info->pNotifyName = InfoPacker::At<WCHAR>(base, o.user);
    info->pDocument = InfoPacker::At<WCHAR>(base, o.document);
    info->pDatatype = InfoPacker::At<WCHAR>(base, o.datatype);
    info->pPrintProcessor = InfoPacker::At<WCHAR>(base, o.printProcessor);
    info->pDriverName = InfoPacker::At<WCHAR>(base, o.driver);
    info->pDevMode = InfoPacker::At<DEVMODEW>(base, o.devmode);
    info->pStatus = InfoPacker::At<WCHAR>(base, o.status);
    info->Status = job.Status();
    info->Priority = job.priority;
    info->Position = position;
    info->TotalPages = job.pages;
    info->Size = static_cast<DWORD>(job.data.size());
    info->Submitted = job.submitted;
    info->PagesPrinted = job.pagesPrinted;
}

size_t RecordSize(DWORD level) { return level == 1 ? sizeof(JOB_INFO_1W) : sizeof(JOB_INFO_2W); }

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Packs the jobs (with their queue positions) into the caller's buffer.
BOOL Pack(const std::vector<std::pair<const Job*, DWORD>>& jobs, DWORD level, LPBYTE buffer, DWORD size,
          LPDWORD needed) {
    const std::u16string user = UserName();
    InfoPacker packer(RecordSize(level) * jobs.size());
    std::vector<JobOffsets> offsets;
    for (const auto& [job, position] : jobs) offsets.push_back(Reserve(packer, *job, user, level));
    *needed = static_cast<DWORD>(packer.Needed());
    if (packer.Needed() == 0) return TRUE; // nothing to list: no buffer is needed
    if (!buffer || size < packer.Needed()) return Fail(ERROR_INSUFFICIENT_BUFFER);
    packer.CopyInto(buffer);
    for (size_t i = 0; i < jobs.size(); ++i)
        Fill(buffer, buffer + i * RecordSize(level), *jobs[i].first, jobs[i].second, offsets[i], level);
    return TRUE;
}

} // namespace

extern "C" {

BOOL EnumJobsW(HANDLE printer, DWORD firstJob, DWORD noJobs, DWORD level, LPBYTE jobs, DWORD size, LPDWORD needed,
               LPDWORD returned) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (needed) *needed = 0;
        if (returned) *returned = 0;
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return FALSE;
        if (level != 1 && level != 2) return Fail(ERROR_INVALID_LEVEL);
        if (!needed || !returned) return Fail(ERROR_INVALID_PARAMETER);
        host::JobBook& book = host::Jobs();
        std::lock_guard guard(book.lock);
        std::vector<std::pair<const Job*, DWORD>> listed;
        DWORD position = 0;
        for (const auto& [id, job] : book.queue) {
            if (job.printerId != handle->printerId) continue;
            ++position;
            if (position <= firstJob || listed.size() >= noJobs) continue;
            listed.emplace_back(&job, position);
        }
        if (!Pack(listed, level, jobs, size, needed)) return FALSE;
        *returned = static_cast<DWORD>(listed.size());
        return TRUE;
    });
}

BOOL GetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE job, DWORD size, LPDWORD needed) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (needed) *needed = 0;
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return FALSE;
        if (level != 1 && level != 2) return Fail(ERROR_INVALID_LEVEL);
        if (!needed) return Fail(ERROR_INVALID_PARAMETER);
        host::JobBook& book = host::Jobs();
        std::lock_guard guard(book.lock);
        DWORD position = 0;
        for (const auto& [id, queued] : book.queue) {
            if (queued.printerId != handle->printerId) continue;
            ++position;
            if (id == jobId) return Pack({{&queued, position}}, level, job, size, needed);
        }
        return Fail(ERROR_INVALID_PARAMETER);
    });
}

BOOL SetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE info, DWORD command) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return FALSE;
        if (level > 2) return Fail(ERROR_INVALID_LEVEL);
        if (level != 0 && !info) return Fail(ERROR_INVALID_PARAMETER);
        bool despool = false;
        {
            host::JobBook& book = host::Jobs();
            std::lock_guard guard(book.lock);
            auto it = book.queue.find(jobId);
            if (it == book.queue.end() || it->second.printerId != handle->printerId)
                return Fail(ERROR_INVALID_PARAMETER);
            Job& job = it->second;
            if (level == 1 || level == 2) {
                const auto* one = reinterpret_cast<const JOB_INFO_1W*>(info);
                const auto* two = reinterpret_cast<const JOB_INFO_2W*>(info);
                const LPWSTR document = level == 1 ? one->pDocument : two->pDocument;
                const LPWSTR status = level == 1 ? one->pStatus : two->pStatus;
                const DWORD statusBits = level == 1 ? one->Status : two->Status;
                const DWORD priority = level == 1 ? one->Priority : two->Priority;
                if (document) job.document = document;
                job.statusText = host::View(status);
                job.monitorStatus = statusBits & kMonitorStatusBits;
                if (priority >= 1 && priority <= 99) job.priority = priority;
            }
            switch (command) {
            case 0: break;
            case JOB_CONTROL_PAUSE: job.status |= JOB_STATUS_PAUSED; break;
            case JOB_CONTROL_RESUME:
                job.status &= ~JOB_STATUS_PAUSED;
                despool = true;
                break;
            case JOB_CONTROL_CANCEL:
            case JOB_CONTROL_DELETE:
                // A job still being written by its application, or whose bytes are being written to the
                // port, is marked deleting and retired by whoever holds it (the despooler stops writing).
                // Once every byte went through a language monitor the printer has the whole job: the
                // monitor's delete at the end of the document leaves it to the printer, and the job stays
                // until the monitor reports its last page ejected.
                if (job.despooling && job.dataSent)
                    break;
                else if (job.despooling || !job.ended)
                    job.status |= JOB_STATUS_DELETING;
                else
                    host::RetireJob(book, it, JOB_STATUS_DELETED);
                break;
            case JOB_CONTROL_RESTART:
                if (job.status & JOB_STATUS_ERROR) {
                    job.status = (job.status & ~JOB_STATUS_ERROR) | JOB_STATUS_RESTART;
                    despool = true;
                }
                break;
            case JOB_CONTROL_SENT_TO_PRINTER:
            case JOB_CONTROL_LAST_PAGE_EJECTED:
                // During its EndDocPort the job is marked printed, and retired when the despooler is done.
                if (job.despooling) {
                    job.ejected = true;
                    job.status |= JOB_STATUS_PRINTED;
                } else if (job.ended) {
                    host::RetireJob(book, it, JOB_STATUS_PRINTED);
                }
                break;
            default: return Fail(ERROR_INVALID_PARAMETER);
            }
        }
        if (despool) host::DespoolJob(jobId);
        return TRUE;
    });
}

} // extern "C"
