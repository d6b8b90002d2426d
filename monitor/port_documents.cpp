// StartDocPort and EndDocPort: a job record for every document, its trailer, the fill block after a
// cancel, and the job's release or hold at its end.
#include "fill_block.h"
#include "job_info.h"
#include "job_release.h"
#include "monitor_log.h"
#include "monitor_state.h"
#include "platform_owners.h"
#include "port_operations.h"
#include "status_worker.h"

namespace lmon {

namespace {

const BYTE kTrailer[] = {0x1B, 0x40}; // ESC @

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Undoes a StartDocPort that cannot go on, keeping the last error of the call that failed.
BOOL Abandon(PortRecord* port, JobRecord* job) {
    const DWORD error = GetLastError();
    ClearPortFlags(port, PR_IN_DOCUMENT);
    FreeJobRecord(job);
    SetLastError(error);
    return FALSE;
}

void WakeWorker(PortRecord* port) {
    if (PortHas(port, PR_WORKER_LOOP)) {
        WakeStatusWorker(port);
    }
}

// The job being ended: the newest record, while it is still in its document.
JobRecord* EndingJob(PortRecord* port, bool* trailerDue) {
    MonitorLock lock;
    JobRecord* job = port->jobs;
    if (job == nullptr || (job->flags & JR_IN_DOCUMENT) == 0) {
        return nullptr;
    }
    *trailerDue = (job->flags & JR_TRAILER_DUE) != 0;
    return job;
}

// The fill block, when the job was cancelled while its data went out.
void FillAfterCancel(PortRecord* port, const JobRecord* job) {
    const DWORD size = PrinterFillBlockSize(job->printer);
    if (size != 0 && JobIsCancelled(job->printer, job->jobId)) {
        WriteFillBlock(port, size);
    }
}

void SendTrailer(PortRecord* port, JobRecord* job) {
    DWORD taken = 0;
    if (WriteThroughPort(port, kTrailer, sizeof kTrailer, &taken)) {
        ClearPortFlags(port, PR_WRITE_FAILED);
    } else {
        SetPortFlags(port, PR_WRITE_FAILED);
        WakeWorker(port);
    }
    MonitorLock lock;
    job->endTick = GetTickCount();
}

// A job that was neither restarted nor printed is deleted from the queue.
void FinalJobCheck(const JobRecord* job) {
    const auto info = ReadJobInfo(job->printer, job->jobId);
    if (info && (info->Status & (JOB_STATUS_RESTART | JOB_STATUS_PRINTED)) == 0) {
        SetJobW(job->printer, job->jobId, 0, nullptr, JOB_CONTROL_DELETE);
    }
}

} // namespace

BOOL WINAPI StartDocPort(HANDLE hPort, LPWSTR pPrinterName, DWORD JobId, DWORD Level, LPBYTE pDocInfo) {
    PortCall port(hPort);
    if (!port || pDocInfo == nullptr || pPrinterName == nullptr || pPrinterName[0] == 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (Level != 1) {
        return Fail(ERROR_INVALID_LEVEL);
    }
    // Tested and set in one step: two documents started at once on one port never both get it.
    if (port->flags.fetch_or(PR_IN_DOCUMENT) & PR_IN_DOCUMENT) {
        return Fail(ERROR_BUSY);
    }
    JobRecord* job = NewJobRecord(pPrinterName);
    if (job == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return Abandon(port.get(), nullptr);
    }
    velt::PrinterHandle printer = velt::OpenPrinterFor(pPrinterName, PRINTER_ACCESS_USE);
    if (!printer) {
        return Abandon(port.get(), job);
    }
    job->printer = printer.release(); // the job record owns it from here
    Monitor().logPrinter.store(job->printer);
    WriteMonitorLog("Inside StartDocPort", job->printer);
    SetCurrentJobPrinterName(pPrinterName);
    if (!port->portMonitor.pfnStartDocPort(port->portHandle, pPrinterName, JobId, 1, pDocInfo)) {
        return Abandon(port.get(), job);
    }
    if (!PortHas(port.get(), PR_WORKER_RUN)) {
        StartStatusWorker(port.get());
    }
    job->jobId = JobId;
    Monitor().currentJobId.store(JobId);
    {
        MonitorLock lock;
        job->flags = JR_IN_DOCUMENT;
        if (PortHas(port.get(), PR_WORKER_STARTED)) {
            job->flags |= JR_ARMED;
        }
        job->next = port->jobs;
        port->jobs = job;
    }
    WaitForSingleObject(port->hPortEvent, INFINITE);
    return TRUE;
}

BOOL WINAPI EndDocPort(HANDLE hPort) {
    WriteMonitorLog("Inside EndDocPort", LogPrinter());
    PortCall port(hPort);
    if (!port) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!PortHas(port.get(), PR_IN_DOCUMENT)) {
        return TRUE; // no document is open: nothing to end
    }
    bool trailerDue = false;
    JobRecord* job = EndingJob(port.get(), &trailerDue);
    if (job != nullptr) {
        FillAfterCancel(port.get(), job);
        if (trailerDue) {
            SendTrailer(port.get(), job);
        }
    }
    if (port->portMonitor.pfnEndDocPort != nullptr) {
        port->portMonitor.pfnEndDocPort(port->portHandle);
    }
    if (job != nullptr) {
        if (trailerDue) {
            // Held until its end-of-job wait has passed; out of its document only now, so that the
            // worker cannot release the record while it is still used here.
            FinalJobCheck(job);
            MonitorLock lock;
            job->flags &= ~JR_IN_DOCUMENT;
        } else {
            // Released at once, with every older record; the record is checked before it is freed.
            JobRecord* released = DetachJobsFrom(port.get(), job);
            ReportJobsEjected(released);
            FinalJobCheck(job);
            FreeJobRecords(released);
        }
    }
    ClearPortFlags(port.get(), PR_IN_DOCUMENT);
    WakeWorker(port.get());
    SetEvent(port->hPortEvent);
    return TRUE;
}

} // namespace lmon
