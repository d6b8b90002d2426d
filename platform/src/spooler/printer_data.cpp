// Printer data: typed values stored per printer and returned byte for byte.
#include <cstring>

#include "kernel/internal.h"
#include "spooler/internal.h"
#include "store/internal.h"

namespace {

// A read of a name that is not stored. On the platform the spooler hands it to the language monitor
// stacked on the printer's port (its GetPrinterDataFromPort), which may answer from the printer;
// until a language monitor is stacked, the value is simply not there.
DWORD ReadPrinterDataFromPort(const host::PrinterHandle&, std::u16string_view, LPDWORD, LPBYTE, DWORD, LPDWORD) {
    return ERROR_FILE_NOT_FOUND;
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
        std::lock_guard guard(host::StoreLock());
        if (!PrinterExists(*handle)) return ERROR_INVALID_PRINTER_NAME;
        host::Statement s("SELECT type, data FROM printer_data WHERE printer_id = ? AND name_fold = ?");
        s.Bind(1, handle->printerId).Bind(2, host::FoldCase(name));
        if (!s.Step()) return ReadPrinterDataFromPort(*handle, name, type, data, size, needed);
        const auto bytes = s.Blob(1);
        if (type) *type = static_cast<DWORD>(s.Int(0));
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
