// Reading and writing the printer's settings record.
#include <algorithm>
#include <cstring>

#include "printer_settings_record.h"

namespace {

// The platform's printer-data calls take writable names.
struct ValueNames {
    WCHAR size[16] = TEXT("PrinterDataSize");
    WCHAR data[12] = TEXT("PrinterData");
};

} // namespace

PRINTER_SETTINGS_RECORD DefaultSettingsRecord() {
    PRINTER_SETTINGS_RECORD record{};
    record.psVersion = SETTINGS_RECORD_VERSION;
    record.psSize = SETTINGS_RECORD_SIZE;
    return record;
}

StoredSettingsRecord ReadSettingsRecord(HANDLE printer) {
    ValueNames names;
    DWORD type = 0;
    DWORD size = 0;
    DWORD needed = 0;
    if (GetPrinterDataW(printer, names.size, &type, reinterpret_cast<LPBYTE>(&size), sizeof(size), &needed) !=
            ERROR_SUCCESS ||
        size == 0) {
        return {};
    }
    StoredSettingsRecord stored;
    stored.bytes = velt::HeapAllocate(0, size);
    if (!stored.bytes) {
        return {};
    }
    if (GetPrinterDataW(printer, names.data, &type, stored.bytes.get(), size, &needed) != ERROR_SUCCESS ||
        needed != size) {
        return {};
    }
    stored.size = size;
    return stored;
}

PRINTER_SETTINGS_RECORD SettingsRecordWorkingCopy(const StoredSettingsRecord& stored) {
    PRINTER_SETTINGS_RECORD record = DefaultSettingsRecord();
    if (!stored) {
        return record;
    }
    // The record's own size field is believed only as far as the bytes that were actually read.
    size_t count = std::min<size_t>(stored.size, sizeof(record));
    if (stored.size >= offsetof(PRINTER_SETTINGS_RECORD, psSize) + sizeof(WORD)) {
        WORD declared = 0;
        std::memcpy(&declared, stored.bytes.get() + offsetof(PRINTER_SETTINGS_RECORD, psSize), sizeof(declared));
        count = std::min<size_t>(count, declared);
    }
    std::memcpy(&record, stored.bytes.get(), count);
    record.psVersion = SETTINGS_RECORD_VERSION;
    record.psSize = SETTINGS_RECORD_SIZE;
    return record;
}

BOOL SettingsRecordColorSetting(const StoredSettingsRecord& stored, SHORT* colorSetting) {
    constexpr size_t kColorEnd = offsetof(PRINTER_SETTINGS_RECORD, psColorSetting) + sizeof(SHORT);
    if (!stored || stored.size < kColorEnd || colorSetting == nullptr) {
        return FALSE;
    }
    SHORT value = 0;
    std::memcpy(&value, stored.bytes.get() + offsetof(PRINTER_SETTINGS_RECORD, psColorSetting), sizeof(value));
    if (value != 0 && value != 1) {
        return FALSE;
    }
    *colorSetting = value;
    return TRUE;
}

BOOL WriteSettingsRecord(HANDLE printer, const PRINTER_SETTINGS_RECORD* record) {
    if (record == nullptr) {
        return FALSE;
    }
    ValueNames names;
    DWORD size = SETTINGS_RECORD_SIZE;
    if (SetPrinterDataW(printer, names.size, REG_DWORD, reinterpret_cast<LPBYTE>(&size), sizeof(size)) !=
        ERROR_SUCCESS) {
        return FALSE;
    }
    PRINTER_SETTINGS_RECORD copy = *record; // the platform call takes a writable buffer
    return SetPrinterDataW(printer, names.data, REG_BINARY, reinterpret_cast<LPBYTE>(&copy), sizeof(copy)) ==
                   ERROR_SUCCESS
               ? TRUE
               : FALSE;
}
