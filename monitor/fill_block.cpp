// Sizing and sending the fill block.
#include "fill_block.h"

#include "monitor_state.h"
#include "platform_owners.h"
#include "printer_settings_record.h"

namespace lmon {

DWORD FillBlockSize(SHORT colorSetting, DWORD verticalDotCount) {
    if (verticalDotCount > MOST_RASTER_BLOCK_ROWS) {
        return 0;
    }
    switch (colorSetting) {
    case 0: return verticalDotCount * MONO_BYTES_PER_ROW + 1;
    case 1: return verticalDotCount * TWO_COLOUR_BYTES_PER_ROW + 1;
    default: return 0;
    }
}

BOOL ReadVerticalDotCount(DWORD* count) {
    const velt::RegistryKey key = velt::OpenRegistryKey(HKEY_LOCAL_MACHINE, TEXT("SOFTWARE\\Calvix"), KEY_READ);
    if (!key) {
        return FALSE;
    }
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.get(), TEXT("VerticalDotCount"), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
        return FALSE;
    }
    *count = value;
    return TRUE;
}

DWORD PrinterFillBlockSize(HANDLE printer) {
    const StoredSettingsRecord record = ReadSettingsRecord(printer);
    SHORT colorSetting = 0;
    DWORD rows = 0;
    if (!SettingsRecordColorSetting(record, &colorSetting) || !ReadVerticalDotCount(&rows)) {
        return 0;
    }
    return FillBlockSize(colorSetting, rows);
}

BOOL WriteThroughPort(PortRecord* port, const BYTE* bytes, DWORD count, DWORD* taken) {
    DWORD done = 0;
    BOOL result = TRUE;
    while (done < count) {
        DWORD written = 0;
        result =
            port->portMonitor.pfnWritePort(port->portHandle, const_cast<LPBYTE>(bytes + done), count - done, &written);
        if (!result || written == 0) {
            break;
        }
        done += written < count - done ? written : count - done;
    }
    *taken = done;
    return result;
}

void WriteFillBlock(PortRecord* port, DWORD size) {
    if (size == 0) {
        return;
    }
    const velt::HeapBlock zeros = velt::HeapAllocate(HEAP_ZERO_MEMORY, size);
    if (!zeros) {
        return;
    }
    DWORD taken = 0;
    WriteThroughPort(port, zeros.get(), size, &taken);
    if (taken == 0) {
        Monitor().fillPending.store(1);
    }
}

void SendFillBlock(PortRecord* port) {
    // The newest job's printer handle is only used while the record cannot be released: a job with
    // JR_IN_DOCUMENT stays in the list; otherwise a handle of its own is opened by the job's name.
    WCHAR name[CURRENT_JOB_PRINTER_NAME_CHARS] = {};
    {
        MonitorLock lock;
        if (port->jobs == nullptr || lstrlenW(port->jobs->printerName) >= CURRENT_JOB_PRINTER_NAME_CHARS) {
            return;
        }
        lstrcpynW(name, port->jobs->printerName, CURRENT_JOB_PRINTER_NAME_CHARS);
    }
    const velt::PrinterHandle printer = velt::OpenPrinterFor(name, PRINTER_ACCESS_USE);
    if (!printer) {
        return;
    }
    WriteFillBlock(port, PrinterFillBlockSize(printer.get()));
}

} // namespace lmon
