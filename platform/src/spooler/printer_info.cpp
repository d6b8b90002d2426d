// Printer information (levels 2 and 6) and printer control.
#include "kernel/internal.h"
#include "spooler/internal.h"
#include "store/internal.h"

namespace {

using host::InfoPacker;

constexpr DWORD kSpoolerStatusBits = PRINTER_STATUS_PAUSED | PRINTER_STATUS_PENDING_DELETION;

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

DWORD QueuedJobs(int64_t printerId) {
    host::JobBook& book = host::Jobs();
    std::lock_guard guard(book.lock);
    DWORD count = 0;
    for (const auto& [id, job] : book.queue)
        if (job.printerId == printerId) ++count;
    return count;
}

BOOL PackLevel2(const host::PrinterRecord& p, LPBYTE data, DWORD size, LPDWORD needed) {
    InfoPacker packer(sizeof(PRINTER_INFO_2W));
    const size_t devmode = packer.AddBytes(p.devmode, alignof(DEVMODEW));
    const size_t name = packer.AddString(p.name), share = packer.AddString(p.shareName),
                 port = packer.AddString(p.port), driver = packer.AddString(p.driver),
                 comment = packer.AddString(p.comment), location = packer.AddString(p.location),
                 sepFile = packer.AddString(p.sepFile), processor = packer.AddString(p.printProcessor),
                 datatype = packer.AddString(p.datatype), parameters = packer.AddString(p.parameters);
    *needed = static_cast<DWORD>(packer.Needed());
    if (!data || size < packer.Needed()) return Fail(ERROR_INSUFFICIENT_BUFFER);
    packer.CopyInto(data);
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(data);
    *info = PRINTER_INFO_2W{};
    info->pPrinterName = InfoPacker::At<WCHAR>(data, name);
    info->pShareName = InfoPacker::At<WCHAR>(data, share);
    info->pPortName = InfoPacker::At<WCHAR>(data, port);
    info->pDriverName = InfoPacker::At<WCHAR>(data, driver);
    info->pComment = InfoPacker::At<WCHAR>(data, comment);
    info->pLocation = InfoPacker::At<WCHAR>(data, location);
    info->pDevMode = InfoPacker::At<DEVMODEW>(data, devmode);
    info->pSepFile = InfoPacker::At<WCHAR>(data, sepFile);
    info->pPrintProcessor = InfoPacker::At<WCHAR>(data, processor);
    info->pDatatype = InfoPacker::At<WCHAR>(data, datatype);
    info->pParameters = InfoPacker::At<WCHAR>(data, parameters);
    info->Attributes = p.attributes;
    info->Priority = p.priority;
    info->DefaultPriority = p.defaultPriority;
    info->StartTime = p.startTime;
    info->UntilTime = p.untilTime;
    info->Status = p.status;
    info->cJobs = QueuedJobs(p.id);
    return TRUE;
}

// Lock held. Takes the fields of a level 2 record that SetPrinterW sets; false with a last error.
bool ApplyLevel2(host::PrinterRecord& p, const PRINTER_INFO_2W& info) {
    if (info.pPrinterName && !host::EqualNoCase(info.pPrinterName, p.name)) {
        const std::u16string_view name = info.pPrinterName;
        if (name.empty() || name.size() > 220 || name.find_first_of(u",\\") != std::u16string_view::npos) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return false;
        }
        if (host::LoadPrinterByName(name)) {
            SetLastError(ERROR_PRINTER_ALREADY_EXISTS);
            return false;
        }
    }
    std::vector<uint8_t> devmode;
    if (info.pDevMode && !host::CopyDevmodeIn(info.pDevMode, devmode)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (info.pPrinterName) p.name = info.pPrinterName;
    if (info.pDriverName && *info.pDriverName) p.driver = info.pDriverName;
    if (info.pPortName && *info.pPortName) p.port = info.pPortName;
    if (info.pDevMode) p.devmode = std::move(devmode);
    p.shareName = host::View(info.pShareName);
    p.comment = host::View(info.pComment);
    p.location = host::View(info.pLocation);
    p.sepFile = host::View(info.pSepFile);
    if (info.pPrintProcessor && *info.pPrintProcessor) p.printProcessor = info.pPrintProcessor;
    if (info.pDatatype && *info.pDatatype) p.datatype = info.pDatatype;
    p.parameters = host::View(info.pParameters);
    p.attributes = info.Attributes | PRINTER_ATTRIBUTE_LOCAL;
    p.priority = info.Priority ? info.Priority : p.priority;
    p.defaultPriority = info.DefaultPriority;
    p.startTime = info.StartTime;
    p.untilTime = info.UntilTime;
    return true;
}

void PurgeJobs(int64_t printerId) {
    host::JobBook& book = host::Jobs();
    std::lock_guard guard(book.lock);
    for (auto it = book.queue.begin(); it != book.queue.end();) {
        auto next = std::next(it);
        if (it->second.printerId == printerId) {
            if (it->second.despooling || !it->second.ended)
                it->second.status |= JOB_STATUS_DELETING;
            else
                host::RetireJob(book, it, JOB_STATUS_DELETED);
        }
        it = next;
    }
}

} // namespace

extern "C" {

BOOL GetPrinterW(HANDLE printer, DWORD level, LPBYTE data, DWORD size, LPDWORD needed) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (needed) *needed = 0;
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return FALSE;
        if (level != 2 && level != 6) return Fail(ERROR_INVALID_LEVEL);
        if (!needed) return Fail(ERROR_INVALID_PARAMETER);
        std::lock_guard guard(host::StoreLock());
        const auto record = host::LoadPrinter(handle->printerId);
        if (!record) return Fail(ERROR_INVALID_PRINTER_NAME);
        if (level == 2) return PackLevel2(*record, data, size, needed);
        *needed = sizeof(PRINTER_INFO_6);
        if (!data || size < sizeof(PRINTER_INFO_6)) return Fail(ERROR_INSUFFICIENT_BUFFER);
        reinterpret_cast<PRINTER_INFO_6*>(data)->dwStatus = record->status;
        return TRUE;
    });
}

BOOL SetPrinterW(HANDLE printer, DWORD level, LPBYTE data, DWORD command) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return FALSE;
        if (level != 0 && level != 2 && level != 6) return Fail(ERROR_INVALID_LEVEL);
        if (command > PRINTER_CONTROL_SET_STATUS) return Fail(ERROR_INVALID_PRINTER_COMMAND);
        if ((level != 0 || command == PRINTER_CONTROL_SET_STATUS) && !data) return Fail(ERROR_INVALID_PARAMETER);
        if (!handle->CanAdminister()) return Fail(ERROR_ACCESS_DENIED);
        bool despool = false;
        {
            std::lock_guard guard(host::StoreLock());
            auto record = host::LoadPrinter(handle->printerId);
            if (!record) return Fail(ERROR_INVALID_PRINTER_NAME);
            const bool wasHeld =
                (record->status & PRINTER_STATUS_PAUSED) || (record->attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE);
            if (level == 2 && !ApplyLevel2(*record, *reinterpret_cast<const PRINTER_INFO_2W*>(data))) return FALSE;
            // The status word a monitor reports describes the device; the pause and a pending deletion
            // are the spooler's own and stay as they are.
            if (level == 6)
                record->status = (record->status & kSpoolerStatusBits) |
                                 (reinterpret_cast<const PRINTER_INFO_6*>(data)->dwStatus & ~kSpoolerStatusBits);
            switch (command) {
            case PRINTER_CONTROL_PAUSE: record->status |= PRINTER_STATUS_PAUSED; break;
            case PRINTER_CONTROL_RESUME: record->status &= ~PRINTER_STATUS_PAUSED; break;
            case PRINTER_CONTROL_PURGE: PurgeJobs(record->id); break;
            case PRINTER_CONTROL_SET_STATUS: record->status = *reinterpret_cast<const DWORD*>(data); break;
            default: break;
            }
            host::UpdatePrinter(*record);
            const bool held =
                (record->status & PRINTER_STATUS_PAUSED) || (record->attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE);
            despool = wasHeld && !held;
        }
        // Jobs that waited for the printer go now, outside the store lock (despooling takes it itself).
        if (despool) host::DespoolWaitingJobs(handle->printerId);
        return TRUE;
    });
}

} // extern "C"
