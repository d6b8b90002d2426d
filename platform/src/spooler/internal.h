// Internal to the host: the spooler's printers as the store keeps them, printer handles, the job
// queue and the despooler, the packing of information records, and the monitors a job goes through.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <winsplp.h>
#include <winspool.h>
#include "kernel/internal.h"

namespace host {

// ---- Printer records ----------------------------------------------------------------------------
// Printers as the store keeps them: the fields of PRINTER_INFO_2W that belong to the printer, its
// status and its default device mode (dmSize + dmDriverExtra bytes, or none).

struct PrinterRecord {
    int64_t id = 0; // 0 until stored
    std::u16string name, driver, port, shareName, comment, location, sepFile, printProcessor, datatype, parameters;
    DWORD attributes = 0, priority = 1, defaultPriority = 0, startTime = 0, untilTime = 0, status = 0;
    std::vector<uint8_t> devmode;
};

// All with the store lock held.
std::optional<PrinterRecord> LoadPrinter(int64_t id);
std::optional<PrinterRecord> LoadPrinterByName(std::u16string_view name);
void InsertPrinter(PrinterRecord& printer); // sets printer.id
void UpdatePrinter(const PrinterRecord& printer);
void DeletePrinterRecord(int64_t id); // with its printer data, in one transaction

// ---- Printer handles ----------------------------------------------------------------------------
// A printer handle: which printer, the access granted when it was opened, the device mode and data
// type of its defaults, and the job it is writing (if any).

class PrinterHandle : public HostObject {
public:
    PrinterHandle(int64_t printerId, ACCESS_MASK access, std::vector<uint8_t> devmode, std::u16string datatype)
        : HostObject(HandleKind::Printer), printerId(printerId), access(access), devmode(std::move(devmode)),
          datatype(std::move(datatype)) {}

    const int64_t printerId;
    const ACCESS_MASK access;
    const std::vector<uint8_t> devmode;
    const std::u16string datatype;

    bool CanAdminister() const { return access & PRINTER_ACCESS_ADMINISTER; }
    bool CanUse() const { return access & PRINTER_ACCESS_USE; }

    std::mutex lock; // guards jobId
    DWORD jobId = 0; // the document started through this handle, 0 if none
};

// The printer handle, or null with ERROR_INVALID_HANDLE as the last error.
std::shared_ptr<PrinterHandle> FindPrinterHandle(HANDLE printer);

// The access a request for desiredAccess is granted (generic rights mapped; none means use).
ACCESS_MASK GrantedPrinterAccess(ACCESS_MASK desiredAccess);
// Whether the process may administer printers (tests switch it off); a new store switches it back on.
bool ProcessIsAdministrator();
void ResetProcessRights();

// A device mode entering the host, as dmSize + dmDriverExtra bytes; false if it is not acceptable.
bool CopyDevmodeIn(const DEVMODEW* devmode, std::vector<uint8_t>& out);

// ---- Jobs ---------------------------------------------------------------------------------------
// The spooler's jobs: the queue of each printer (jobs being spooled, waiting, printing or in error)
// and, for tests, every job seen since the store was chosen.

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
    // Through a language monitor: every byte went to the port (EndDocPort is next or running); the
    // printer reported the last page ejected; the job waits in the queue for that report.
    bool dataSent = false;
    bool ejected = false;
    bool held = false;
    DWORD Status() const { return status | monitorStatus; }
};

struct JobBook {
    std::mutex lock;
    std::map<DWORD, Job> queue; // by id: the queue order
    std::vector<Job> finished;  // printed or deleted, without their data
};

JobBook& Jobs();

// A handle closed with its document still open: the document ends as with EndDocPrinter.
void EndHandleDocument(PrinterHandle& handle);
// The printer is gone: its queued jobs go with it.
void ForgetPrinterJobs(int64_t printerId);
// A new store: no jobs (the store numbers them).
void ResetJobs();
// Store lock held. The next job id, unique across every process that uses the store.
DWORD NextJobId();
// Whether finished jobs keep their bytes (HostKeepJobData); by default they are dropped.
bool KeepJobData();
// Lock held: the job leaves the queue with a final status.
void RetireJob(JobBook& book, std::map<DWORD, Job>::iterator job, DWORD finalStatus);

// Sends the job to the printer's port if the printer takes jobs now (not paused, not offline).
void DespoolJob(DWORD jobId);
// Sends every job of the printer that is ready and waiting.
void DespoolWaitingJobs(int64_t printerId);

// ---- Information records ------------------------------------------------------------------------
// Packs an information record the platform's way: the fixed structures first, then the strings
// and device modes they point to, all inside the caller's buffer. Measure first, then fill.

class InfoPacker {
public:
    explicit InfoPacker(size_t fixedBytes) : end_(fixedBytes) {}

    // Reserves room for a string (with its terminator); empty strings are not stored and come back null.
    size_t AddString(std::u16string_view text) {
        if (text.empty()) return kNone;
        strings_.emplace_back(text);
        return Add(strings_.back().c_str(), (text.size() + 1) * sizeof(char16_t), alignof(char16_t));
    }
    size_t AddBytes(const std::vector<uint8_t>& bytes, size_t align) {
        if (bytes.empty()) return kNone;
        return Add(bytes.data(), bytes.size(), align);
    }
    size_t Needed() const { return end_; }

    // The buffer must hold Needed() bytes; copies what was reserved.
    void CopyInto(BYTE* base) const {
        for (const auto& item : items_) std::memcpy(base + item.offset, item.data, item.size);
    }
    template <typename T>
    static T* At(BYTE* base, size_t offset) {
        return offset == kNone ? nullptr : reinterpret_cast<T*>(base + offset);
    }

    static constexpr size_t kNone = static_cast<size_t>(-1);

private:
    struct Item {
        size_t offset;
        const void* data;
        size_t size;
    };
    size_t Add(const void* data, size_t size, size_t align) {
        end_ = (end_ + align - 1) / align * align;
        items_.push_back(Item{end_, data, size});
        end_ += size;
        return items_.back().offset;
    }

    size_t end_;
    std::deque<std::u16string> strings_; // stable addresses until CopyInto
    std::vector<Item> items_;
};

// ---- The monitor stack --------------------------------------------------------------------------
// The monitors a printer's jobs go through: the language monitor its driver names (loaded, and
// initialised with its registry root, once per process) over the host's port monitor.

// The language monitor of the printer's driver: true with *table null when the driver names none,
// true with its table once loaded; false (with the last error) when the named monitor can't be loaded.
bool LanguageMonitorFor(const PrinterRecord& printer, const MONITOR** table);

// The port monitor beneath every language monitor, as a table a language monitor may keep.
MONITOR* PortMonitorBeneath();

// A port opened through a language monitor. It stays open until the process ends (or the store is
// changed), as the platform keeps the ports of its language monitors open, so that the monitor's
// status worker runs beside the printer's jobs.
struct MonitorPort {
    const MONITOR* table = nullptr;
    HANDLE handle = nullptr;
};

// The printer's port opened through its language monitor, opened now if it isn't yet; false (with
// the last error) when the monitor can't be loaded or won't open the port. *port stays empty when the
// printer's driver names no language monitor.
bool OpenMonitorPort(const PrinterRecord& printer, std::optional<MonitorPort>* port);
// Closes (ClosePort) every port opened through a language monitor.
void CloseMonitorPorts();

// An open port through the port monitor alone; closed (ClosePort) when it dies.
class PortStack {
public:
    PortStack() = default;
    ~PortStack();
    PortStack(const PortStack&) = delete;
    PortStack& operator=(const PortStack&) = delete;

    // Opens the port; false with the port monitor's last error.
    bool Open(const std::u16string& portName);
    const MONITOR& Table() const { return *table_; }
    HANDLE Handle() const { return handle_; }

private:
    const MONITOR* table_ = nullptr;
    HANDLE handle_ = nullptr;
};

// ---- Drivers and their configuration interface ----------------------------------------------------
// Installed drivers live in the registry, as on the platform; a printer's driver names the printer
// interface library (its configuration file) that the spooler asks about the printer and its jobs.

struct DriverRecord {
    std::u16string name, driverFile, dataFile, configFile; // file names in the printer driver folder
    DWORD version = 0;
};

// The installed driver of that name (compared without regard to case), or none.
std::optional<DriverRecord> FindDriver(std::u16string_view name);

// What the spooler asks a printer's configuration interface; a driver that is not installed, or whose
// interface can't be loaded, answers nothing (no default device mode, every job allowed).
std::vector<uint8_t> DriverDefaultDevmode(std::u16string_view driver, const std::u16string& printerName);
void SendPrinterEvent(std::u16string_view driver, const std::u16string& printerName, int event);
bool DriverAllowsJob(const PrinterRecord& printer, const std::vector<uint8_t>& devmode);
void UpgradePrinter(std::u16string_view driver, const std::u16string& printerName);

// A printer was added: its registry key is made and its configuration interface hears
// PRINTER_EVENT_INITIALIZE. A printer is about to go: the interface hears PRINTER_EVENT_DELETE, then the
// key goes.
void PrinterAdded(const PrinterRecord& printer);
void PrinterDeleting(const PrinterRecord& printer);

} // namespace host
