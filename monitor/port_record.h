// The language monitor's records: one PortRecord per open port (its address is the port handle the
// spooler holds) and one JobRecord per document, kept in the port's job list (newest first) until the
// job is released.
#pragma once

#include <atomic>
#include <cstddef>

#include "platform.h"

namespace lmon {

#define PORT_RECORD_SIGNATURE 0x4F4A

// PortRecord flags. They are shared by the spooler's threads and the port's status worker, so every
// change is one atomic read-modify-write of the whole word.
#define PR_IN_DOCUMENT 0x001    // a document is open on the port
#define PR_WORKER_RUN 0x002     // the status worker is to keep running
#define PR_WORKER_LOOP 0x004    // the status worker is polling
#define PR_WORKER_STARTED 0x040 // a worker has run on this port
#define PR_WRITE_FAILED 0x100   // the last write to the port failed

// JobRecord flags (changed only under the monitor lock).
#define JR_IN_DOCUMENT 0x01 // the port monitor has the document; cleared when the trailer is sent
#define JR_TRAILER_DUE 0x10 // the job wrote data after the port's worker had run: it gets the trailer
#define JR_ARMED 0x20       // started after the port's worker had run; the first write makes it due

// One document. Allocated zero-filled in one block with the printer name, which follows the record.
struct JobRecord {
    JobRecord* next;    // the next older job of the same port
    LPWSTR printerName; // points at inlineName
    HANDLE printer;     // opened with PRINTER_ACCESS_USE at StartDocPort, closed when the record is freed
    DWORD jobId;
    DWORD flags;   // JR_*
    DWORD endTick; // when the trailer was sent
    WCHAR inlineName[1];
};

struct PortRecord {
    DWORD signature; // PORT_RECORD_SIGNATURE while the record is in the port list
    PortRecord* next;
    LPWSTR portName;
    std::atomic<DWORD> flags;        // PR_*
    JobRecord* jobs;                 // newest first; changed and walked only under the monitor lock
    HANDLE portHandle;               // the port monitor's own handle
    std::atomic<HANDLE> hWakeEvent;  // auto-reset; wakes the worker; none once the worker has ended
    std::atomic<HANDLE> hReadyEvent; // manual-reset; signalled while the printer reports no error
    HANDLE hPortEvent;               // auto-reset; held by a document from StartDocPort to EndDocPort
    DWORD lastGoodPollTick;          // the worker's own: the last poll that found no error
    MONITOR portMonitor;             // the port monitor's table

    // Beyond the platform's record: the calls in progress on the port, so that ClosePort frees the
    // record only once none is left, and whether ClosePort has begun (new calls are refused).
    std::atomic<LONG> activeCalls;
    std::atomic<BOOL> closing;
    // What the worker is doing, for those who watch it: passes completed, and while it waits for
    // hWakeEvent, the tick count at which the wait ends by time.
    std::atomic<DWORD> workerPasses;
    std::atomic<BOOL> workerWaiting;
    std::atomic<DWORD> workerWaitEnd;
};

inline DWORD SetPortFlags(PortRecord* port, DWORD bits) { return port->flags.fetch_or(bits) | bits; }
inline DWORD ClearPortFlags(PortRecord* port, DWORD bits) { return port->flags.fetch_and(~bits) & ~bits; }
inline bool PortHas(const PortRecord* port, DWORD bits) { return (port->flags.load() & bits) != 0; }

// Port records come zero-filled from the process heap; null when the heap refuses.
PortRecord* NewPortRecord();
void DeletePortRecord(PortRecord* port);

// A job record holding a copy of the printer name; null when the heap refuses.
JobRecord* NewJobRecord(LPCWSTR printerName);
// Closes the job's printer (forgetting it as the log printer) and frees the record.
void FreeJobRecord(JobRecord* job);
// Frees a detached list of records, newest first.
void FreeJobRecords(JobRecord* list);

// A call on a port: the handle must name a record in the port list with its signature and no
// ClosePort begun; while the call lasts the record is counted busy, so ClosePort does not free it.
class PortCall {
public:
    explicit PortCall(HANDLE handle);
    ~PortCall();
    PortCall(const PortCall&) = delete;
    PortCall& operator=(const PortCall&) = delete;

    explicit operator bool() const { return port_ != nullptr; }
    PortRecord* operator->() const { return port_; }
    PortRecord* get() const { return port_; }

private:
    PortRecord* port_ = nullptr;
};

// The record a handle names (in the port list, with its signature), or null. Under the monitor lock.
PortRecord* FindPortByHandle(HANDLE handle);
// The record of a port name (case-insensitive; none or empty finds nothing), or null. Under the lock.
PortRecord* FindPortByName(LPCWSTR name);

} // namespace lmon
