// The settings record at printer initialisation and driver upgrade.
#include <algorithm>
#include <cstring>

#include "printer_settings_record.h"
#include "settings_normalize.h"

BOOL NormalizeSettingsRecord(HANDLE printer) {
    StoredSettingsRecord stored = ReadSettingsRecord(printer);
    velt::HeapPtr<PRINTER_SETTINGS_RECORD> record = velt::HeapAllocate<PRINTER_SETTINGS_RECORD>(HEAP_ZERO_MEMORY);
    if (!record) {
        return FALSE;
    }
    // The stored bytes as far as they go; bytes beyond a shorter record's end count as 0.
    size_t storedBytes = 0;
    if (stored) {
        storedBytes = std::min<size_t>(stored.size, sizeof(PRINTER_SETTINGS_RECORD));
        std::memcpy(record.get(), stored.bytes.get(), storedBytes);
    } else {
        *record = DefaultSettingsRecord();
    }

    if (record->psVersion < SETTINGS_RECORD_VERSION) {
        // An older record: its first bytes, as many as its size field says and were really read, over
        // a zeroed record of the current version.
        velt::HeapPtr<PRINTER_SETTINGS_RECORD> current = velt::HeapAllocate<PRINTER_SETTINGS_RECORD>(HEAP_ZERO_MEMORY);
        if (!current) {
            return FALSE;
        }
        const size_t taken = std::min<size_t>(record->psSize, storedBytes);
        std::memcpy(current.get(), record.get(), taken);
        current->psVersion = SETTINGS_RECORD_VERSION;
        current->psSize = SETTINGS_RECORD_SIZE;
        WriteSettingsRecord(printer, current.get());
        return TRUE;
    }
    WriteSettingsRecord(printer, record.get());
    return TRUE;
}
