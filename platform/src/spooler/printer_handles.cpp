// Opening, closing, adding and deleting printers.
#include <atomic>
#include <cstring>

#include <wingdi.h>
#include "host/devmode_check.h"
#include <winbase.h>
#include "host/testing.h"
#include "kernel/internal.h"
#include "spooler/internal.h"
#include "store/internal.h"

namespace host {

std::shared_ptr<PrinterHandle> FindPrinterHandle(HANDLE printer) {
    auto handle = FindHandleOf<PrinterHandle>(printer, HandleKind::Printer);
    if (!handle) SetLastError(ERROR_INVALID_HANDLE);
    return handle;
}

namespace {
std::atomic<bool> g_administrator{true};
} // namespace

bool ProcessIsAdministrator() { return g_administrator.load(); }
void ResetProcessRights() { g_administrator.store(true); }

ACCESS_MASK GrantedPrinterAccess(ACCESS_MASK desired) {
    ACCESS_MASK granted = desired & (STANDARD_RIGHTS_REQUIRED | PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE);
    if (desired & (GENERIC_READ | GENERIC_WRITE)) granted |= PRINTER_ACCESS_USE;
    if (desired & GENERIC_ALL) granted |= PRINTER_ALL_ACCESS;
    if (granted & PRINTER_ACCESS_ADMINISTER) granted |= PRINTER_ACCESS_USE; // who may administer may print
    if (!(granted & (PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE))) granted |= PRINTER_ACCESS_USE;
    return granted;
}

bool CopyDevmodeIn(const DEVMODEW* devmode, std::vector<uint8_t>& out) {
    out.clear();
    if (!devmode) return true;
    // The caller vouches for dmSize + dmDriverExtra bytes, as on the platform; the record must hold
    // its header within them.
    const size_t total = static_cast<size_t>(devmode->dmSize) + devmode->dmDriverExtra;
    if (!HostIsValidDevmode(devmode, total)) return false;
    out.resize(total);
    std::memcpy(out.data(), devmode, total);
    return true;
}

} // namespace host

namespace {

// Printer names may not be empty, contain a comma or a backslash, or exceed 220 characters.
bool ValidPrinterName(std::u16string_view name) {
    return !name.empty() && name.size() <= 220 && name.find(u',') == std::u16string_view::npos &&
           name.find(u'\\') == std::u16string_view::npos;
}

HANDLE NewPrinterHandle(int64_t printerId, ACCESS_MASK access, std::vector<uint8_t> devmode, std::u16string datatype) {
    return host::AddHandle(
        std::make_shared<host::PrinterHandle>(printerId, access, std::move(devmode), std::move(datatype)));
}

} // namespace

extern "C" {

BOOL OpenPrinterW(LPWSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!printer) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        *printer = nullptr;
        std::vector<uint8_t> devmode;
        if (defaults && !host::CopyDevmodeIn(defaults->pDevMode, devmode)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        std::lock_guard guard(host::StoreLock());
        const auto record = printerName ? host::LoadPrinterByName(printerName) : std::nullopt;
        if (!record) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return FALSE;
        }
        const ACCESS_MASK access = host::GrantedPrinterAccess(defaults ? defaults->DesiredAccess : 0);
        if ((access & PRINTER_ACCESS_ADMINISTER) && !host::ProcessIsAdministrator()) {
            SetLastError(ERROR_ACCESS_DENIED); // administer rights are only an administrator's
            return FALSE;
        }
        *printer = NewPrinterHandle(record->id, access, std::move(devmode),
                                    std::u16string(host::View(defaults ? defaults->pDatatype : nullptr)));
        return TRUE;
    });
}

void HostSetAdministrator(BOOL administrator) { host::g_administrator.store(administrator != FALSE); }

BOOL ClosePrinter(HANDLE printer) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto handle = host::RemoveHandle(printer, host::HandleKind::Printer);
        if (!handle) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        // A document left open through this handle is ended as the platform does on close.
        host::EndHandleDocument(*std::static_pointer_cast<host::PrinterHandle>(handle));
        return TRUE;
    });
}

HANDLE AddPrinterW(LPWSTR, DWORD level, LPBYTE printerInfo) {
    return host::Guarded<HANDLE>(nullptr, [&]() -> HANDLE {
        if (level != 2) {
            SetLastError(ERROR_INVALID_LEVEL);
            return nullptr;
        }
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(printerInfo);
        if (!info || !info->pPortName || !*info->pPortName || !info->pDriverName || !*info->pDriverName) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        if (!ValidPrinterName(host::View(info->pPrinterName))) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return nullptr;
        }
        host::PrinterRecord record;
        if (!host::CopyDevmodeIn(info->pDevMode, record.devmode)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        record.name = info->pPrinterName;
        record.driver = info->pDriverName;
        record.port = info->pPortName;
        record.shareName = host::View(info->pShareName);
        record.comment = host::View(info->pComment);
        record.location = host::View(info->pLocation);
        record.sepFile = host::View(info->pSepFile);
        record.printProcessor = info->pPrintProcessor ? host::View(info->pPrintProcessor) : u"WinPrint";
        record.datatype = info->pDatatype ? host::View(info->pDatatype) : u"RAW";
        record.parameters = host::View(info->pParameters);
        record.attributes = info->Attributes | PRINTER_ATTRIBUTE_LOCAL;
        record.priority = info->Priority ? info->Priority : 1;
        record.defaultPriority = info->DefaultPriority;
        record.startTime = info->StartTime;
        record.untilTime = info->UntilTime;
        record.status = 0;

        // The name check and the insert are one transaction, so that of two processes adding the same
        // printer at once one adds it and the other is told it exists.
        std::lock_guard guard(host::StoreLock());
        host::Transaction transaction;
        if (host::LoadPrinterByName(record.name)) {
            SetLastError(ERROR_PRINTER_ALREADY_EXISTS);
            return nullptr;
        }
        host::InsertPrinter(record);
        transaction.Commit();
        return NewPrinterHandle(record.id, PRINTER_ALL_ACCESS, {}, {});
    });
}

BOOL DeletePrinter(HANDLE printer) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return FALSE;
        if (!(handle->access & DELETE)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        std::lock_guard guard(host::StoreLock());
        if (!host::LoadPrinter(handle->printerId)) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return FALSE;
        }
        host::DeletePrinterRecord(handle->printerId);
        host::ForgetPrinterJobs(handle->printerId);
        return TRUE;
    });
}

} // extern "C"
