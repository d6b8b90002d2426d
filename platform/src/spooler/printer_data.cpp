// Printer data: typed values stored per printer and returned byte for byte.
#include <cstring>

#include <winreg.h>
#include "kernel/internal.h"
#include "spooler/internal.h"
#include "store/internal.h"

namespace {

// A read of a name that is not stored goes to the language monitor of the printer's driver, through
// the printer's port opened by that monitor, as its GetPrinterDataFromPort with control id 0; the
// monitor may answer from the printer. Without a language monitor the value is simply not there.
DWORD ReadPrinterDataFromPort(const host::PrinterRecord& printer, std::u16string_view name, LPDWORD type, LPBYTE data,
                              DWORD size, LPDWORD needed) {
    std::optional<host::MonitorPort> port;
    if (!host::OpenMonitorPort(printer, &port) || !port || !port->table->pfnGetPrinterDataFromPort)
        return ERROR_FILE_NOT_FOUND;
    std::u16string valueName(name);
    DWORD returned = 0;
    SetLastError(ERROR_SUCCESS);
    if (!port->table->pfnGetPrinterDataFromPort(port->handle, 0, valueName.data(), nullptr, 0,
                                                reinterpret_cast<LPWSTR>(data), size, &returned)) {
        const DWORD error = GetLastError();
        // A name the monitor does not answer is a value that is not there.
        return error == ERROR_SUCCESS || error == ERROR_INVALID_PARAMETER ? ERROR_FILE_NOT_FOUND : error;
    }
    if (type) *type = REG_BINARY;
    *needed = returned;
    return ERROR_SUCCESS;
}

// Lock held. The printer of a handle still exists?
bool PrinterExists(const host::PrinterHandle& handle) { return host::LoadPrinter(handle.printerId).has_value(); }

} // namespace

extern "C" {

DWORD GetPrinterDataW(HANDLE printer, LPWSTR valueName, LPDWORD type, LPBYTE data, DWORD size, LPDWORD needed) {
    return static_cast<DWORD>(host::GuardedCode([&]() -> DWORD {
        if (host::PrinterDataReadFault().Hit()) return ERROR_READ_FAULT;
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return ERROR_INVALID_HANDLE;
        if (!needed) return ERROR_INVALID_PARAMETER;
        *needed = 0;
        const std::u16string_view name = host::View(valueName);
        std::optional<host::PrinterRecord> printer;
        std::vector<uint8_t> bytes;
        {
            std::lock_guard guard(host::StoreLock());
            printer = host::LoadPrinter(handle->printerId);
            if (!printer) return ERROR_INVALID_PRINTER_NAME;
            host::Statement s("SELECT type, data FROM printer_data WHERE printer_id = ? AND name_fold = ?");
            s.Bind(1, handle->printerId).Bind(2, host::FoldCase(name));
            if (s.Step()) {
                bytes = s.Blob(1);
                if (type) *type = static_cast<DWORD>(s.Int(0));
            } else {
                printer->id = 0; // not stored: asked of the monitor below, outside the store lock
            }
        }
        if (printer->id == 0) return ReadPrinterDataFromPort(*printer, name, type, data, size, needed);
        *needed = static_cast<DWORD>(bytes.size());
        if (bytes.empty()) return ERROR_SUCCESS;
        if (!data || size < bytes.size()) return ERROR_MORE_DATA;
        std::memcpy(data, bytes.data(), bytes.size());
        return ERROR_SUCCESS;
    }));
}

DWORD SetPrinterDataW(HANDLE printer, LPWSTR valueName, DWORD type, LPBYTE data, DWORD size) {
    return static_cast<DWORD>(host::GuardedCode([&]() -> DWORD {
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return ERROR_INVALID_HANDLE;
        if (!handle->CanAdminister()) return ERROR_ACCESS_DENIED;
        if (!valueName || (size && !data)) return ERROR_INVALID_PARAMETER;
        const std::u16string_view name = host::View(valueName);
        std::lock_guard guard(host::StoreLock());
        if (!PrinterExists(*handle)) return ERROR_INVALID_PRINTER_NAME;
        host::Statement s("INSERT OR REPLACE INTO printer_data(printer_id, name_fold, name, type, data) "
                          "VALUES(?, ?, ?, ?, ?)");
        s.Bind(1, handle->printerId).Bind(2, host::FoldCase(name)).Bind(3, name).Bind(4, type);
        s.BindBlob(5, data, size).Run();
        return ERROR_SUCCESS;
    }));
}

DWORD DeletePrinterDataW(HANDLE printer, LPWSTR valueName) {
    return static_cast<DWORD>(host::GuardedCode([&]() -> DWORD {
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return ERROR_INVALID_HANDLE;
        if (!handle->CanAdminister()) return ERROR_ACCESS_DENIED;
        if (!valueName) return ERROR_INVALID_PARAMETER;
        std::lock_guard guard(host::StoreLock());
        if (!PrinterExists(*handle)) return ERROR_INVALID_PRINTER_NAME;
        host::Statement s("DELETE FROM printer_data WHERE printer_id = ? AND name_fold = ?");
        s.Bind(1, handle->printerId).Bind(2, host::FoldCase(host::View(valueName))).Run();
        return host::ChangedRows() ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    }));
}

} // extern "C"
