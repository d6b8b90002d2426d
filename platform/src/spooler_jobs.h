// The spooler's jobs: the queue of each printer (jobs being spooled, waiting, printing or in error)
// and, for tests, every job seen since the store was chosen.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "host/spooler.h"
#include "printer_handle.h"

namespace host {

struct Job {
    DWORD id = 0;
    int64_t printerId = 0;
    std::u16string printerName, document, datatype, outputFile, statusText, driverName;
    std::vector<uint8_t> devmode;
    DWORD status = 0;        // JOB_STATUS_* the spooler keeps
    DWORD monitorStatus = 0; // JOB_STATUS_* a monitor reported through SetJobW
    DWORD priority = 1;
    DWORD pages = 0;
    DWORD pagesPrinted = 0;
    SYSTEMTIME submitted{};
    std::vector<uint8_t> data;
    DWORD finishedSize = 0;  // the size of the data once the job is retired (its data is dropped)
    bool ended = false;      // EndDocPrinter reached: ready to print
    bool despooling = false; // bytes are on their way to the port
    DWORD Status() const { return status | monitorStatus; }
};

struct JobBook {
    std::mutex lock;
    DWORD nextId = 1;
    std::map<DWORD, Job> queue;   // by id: the queue order
    std::vector<Job> finished;    // printed or deleted, without their data
};

JobBook& Jobs();

// A handle closed with its document still open: the document ends as with EndDocPrinter.
void EndHandleDocument(PrinterHandle& handle);
// The printer is gone: its queued jobs go with it.
void ForgetPrinterJobs(int64_t printerId);
// A new store: no jobs, no job ids used.
void ResetJobs();
// Whether finished jobs keep their bytes (HostKeepJobData); by default they are dropped.
bool KeepJobData();
// Lock held: the job leaves the queue with a final status.
void RetireJob(JobBook& book, std::map<DWORD, Job>::iterator job, DWORD finalStatus);

// Sends the job to the printer's port if the printer takes jobs now (not paused, not offline).
void DespoolJob(DWORD jobId);
// Sends every job of the printer that is ready and waiting.
void DespoolWaitingJobs(int64_t printerId);

} // namespace host
