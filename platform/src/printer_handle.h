// A printer handle: which printer, the access granted when it was opened, the device mode and data
// type of its defaults, and the job it is writing (if any).
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "handles.h"
#include "host/spooler.h"

namespace host {

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

    std::mutex lock;   // guards jobId
    DWORD jobId = 0;   // the document started through this handle, 0 if none
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

} // namespace host
