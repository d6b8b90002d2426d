// The host as a test harness: which store it uses, the clock, fault injection, and the host's own
// port monitor with what reached its ports. Only tests, benchmarks, fuzz targets and tools call
// these; the five libraries can neither include this header nor link the target that provides it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/path_map.h" // HostLinuxPath, HostHomeFolder
#include <winsplp.h>
#include <windef.h>

extern "C" {

// Store. HostUseStore opens (creating it) the persistent store in a folder; a null folder means $VELT_HOME,
// or the user's data folder when VELT_HOME is unset. HostUseTemporaryStore starts a fresh, empty store
// that vanishes with the process. Either call drops every open file, search, printer and registry handle,
// every queued job and the record of port bytes (threads and events live on).
BOOL HostUseStore(const char* folderUtf8);
void HostUseTemporaryStore(void);

// Clock. Once set, GetLocalTime and GetTickCount run from the set time and move only when advanced
// (Sleep advances it too); HostUseRealClock goes back to the system clock.
void HostSetLocalTime(const SYSTEMTIME* now);
void HostAdvanceClock(DWORD milliseconds);
void HostUseRealClock(void);

// Fault injection: the Nth call from now (1 = the next one) fails with the platform's error; 0 disarms.
void HostFailAllocation(unsigned nth);      // HeapAlloc, LocalAlloc and the engine's allocations: null
void HostFailFileWrite(unsigned nth);       // WriteFile: FALSE, ERROR_WRITE_FAULT
void HostFailPrinterDataRead(unsigned nth); // GetPrinterDataW: ERROR_READ_FAULT
void HostFailPrinterWrite(unsigned nth);    // WritePrinter: FALSE, ERROR_WRITE_FAULT
// Short writes: every WritePrinter from now takes at most `most` bytes and reports what it took, as a
// spooler may; 0 lifts the limit. A new store lifts it too.
void HostLimitPrinterWrite(DWORD most);
// The store: the Nth statement from now (1 = the next one) fails as SQLite fails for this cause; the
// platform's code that the failing call answers follows it (busy: ERROR_BUSY, retried before it is
// reported; full: ERROR_DISK_FULL; I/O error: ERROR_WRITE_FAULT; corrupt: ERROR_FILE_CORRUPT;
// read-only: ERROR_WRITE_PROTECT). 0 disarms; a new temporary store disarms too, a persistent one does
// not, so that a fault can be armed before a command opens its store.
#define HOST_STORE_BUSY 1
#define HOST_STORE_FULL 2
#define HOST_STORE_IOERR 3
#define HOST_STORE_CORRUPT 4
#define HOST_STORE_READONLY 5
void HostFailStoreStatement(unsigned nth, DWORD fault);
// A damaged store: the bytes become the printer's stored default device mode as they are, without the
// checks SetPrinterW makes. FALSE with ERROR_INVALID_PRINTER_NAME when there is no such printer.
BOOL HostDamageStoredDevmode(LPCWSTR printer, const void* bytes, size_t size);

// Who the process runs as: an administrator unless switched off, when OpenPrinterW asking administer
// rights (PRINTER_ACCESS_ADMINISTER, PRINTER_ALL_ACCESS, GENERIC_ALL) fails with ERROR_ACCESS_DENIED as
// it does for a user without them. A new store switches it back on.
void HostSetAdministrator(BOOL administrator);

// How many heap blocks (HeapAlloc, LocalAlloc) are in use: a library that frees what it takes leaves
// the count where it found it.
long HostHeapBlocksInUse(void);

} // extern "C"

// The host's port monitor: the table the spooler despools through (beneath any language monitor).
// Its ports:
//  - "FILE:<path>" or a plain platform path: the bytes are appended to that file;
//  - a Linux device node ("/dev/usb/lp0"): the bytes go to the device;
//  - a name whose prefix a backend registered ("VPRINTER:<folder>"): the backend's own table serves it;
//  - a name attached to one of these (HostAttachPort: "USB001" to "VPRINTER:<folder>"): that port serves
//    it; a status query (IOCTL_USBPRINT_VENDOR_GET_COMMAND) on a device or file answers no bytes;
//  - any other name ("USB001"): the bytes are taken and kept only in the host's record of port bytes.
extern "C" const MONITOR* HostPortMonitor(void);

// Serves every port whose name starts with prefix (compared without regard to case; the longest
// registered prefix wins) with the given table; its pfnOpenPort receives the full port name. A null
// table removes the prefix. The table must outlive its registration.
extern "C" BOOL HostRegisterPortBackend(LPCWSTR prefix, const MONITOR* table);

// Opens the printer's port through its driver's language monitor, as the spooler does when the
// printer's first job starts spooling (the port stays open until the process ends), so that the
// monitor's status worker runs. TRUE also when the driver names no language monitor.
extern "C" BOOL HostOpenPrinterPort(LPCWSTR printerName);

// Attaches a printer port name ("USB001", "COM1", "LPT1") to what serves it: a backend's port
// ("VPRINTER:<folder>"), a Linux device node ("/dev/usb/lp0") or a file ("FILE:<path>" or a path). The
// attachment is kept in the store's registry, so every process sharing the store sees it; the port's
// bytes are recorded under its own name. An empty target detaches the name.
extern "C" BOOL HostAttachPort(LPCWSTR portName, LPCWSTR target);
// What a port name is attached to; FALSE when it is attached to nothing.
extern "C" BOOL HostPortAttachment(LPCWSTR portName, std::u16string* target);

// Ports. Every byte that reached a port through the host's port monitor, by port name (case does
// not matter); a stalled port takes no bytes at all (its WritePort succeeds with nothing written).
std::vector<uint8_t> HostPortBytes(const char16_t* portName);
extern "C" void HostClearPortBytes(void);
extern "C" void HostStallPort(LPCWSTR portName, BOOL stalled);

// Jobs: every job of a printer since the store was chosen, queued or finished, in the order of their
// ids. Finished jobs have JOB_STATUS_PRINTED or JOB_STATUS_DELETED; a job the port would not take
// stays queued with JOB_STATUS_ERROR.
struct HostJobRecord {
    DWORD id;
    std::u16string document;
    DWORD status;
    DWORD size;  // bytes written through WritePrinter
    DWORD pages; // StartPagePrinter calls
    std::u16string statusText;
};
std::vector<HostJobRecord> HostJobs(const char16_t* printerName);
// The bytes written to a job (WritePrinter), queued or finished. A finished job keeps them only while
// HostKeepJobData(TRUE) is in force (tools that save a job's spool data switch it on around the job).
extern "C" void HostKeepJobData(BOOL keep);
bool HostJobData(const char16_t* printerName, DWORD jobId, std::vector<uint8_t>* bytes);

// Every line given to OutputDebugStringW (the most recent 10000), oldest first.
std::vector<std::u16string> HostDebugOutput();
void HostClearDebugOutput();

// Text conversions for tools and tests (not for the libraries).
std::u16string HostWide(const std::string& utf8);
std::string HostNarrow(const char16_t* wide);
