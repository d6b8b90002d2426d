// The printer's settings record, stored with the printer as the printer-data values "PrinterData"
// (the record) and "PrinterDataSize" (its byte size, REG_DWORD). The configuration interface writes it;
// both the configuration interface and the language monitor read it.
#pragma once

#include <bit>
#include <cstddef>

#include "platform.h"
#include "platform_owners.h"

static_assert(std::endian::native == std::endian::little, "stored records are little-endian");

#define SETTINGS_RECORD_VERSION 0x0102
#define SETTINGS_RECORD_SIZE 240

typedef struct _PRINTER_SETTINGS_RECORD {
    WORD psVersion;         // SETTINGS_RECORD_VERSION
    WORD psSize;            // SETTINGS_RECORD_SIZE
    BYTE psReserved[224];   // written as zero
    DWORD psUserSize;       // index 0..4 of the user-defined paper size
    WORD psPrinterModel;    // 0 single-side model, 1 dual-side model
    SHORT psColorSetting;   // 0 mono, 1 two-colour
    BYTE psReservedTail[4]; // written as zero
} PRINTER_SETTINGS_RECORD, *PPRINTER_SETTINGS_RECORD;

static_assert(sizeof(PRINTER_SETTINGS_RECORD) == SETTINGS_RECORD_SIZE);
static_assert(offsetof(PRINTER_SETTINGS_RECORD, psVersion) == 0);
static_assert(offsetof(PRINTER_SETTINGS_RECORD, psSize) == 2);
static_assert(offsetof(PRINTER_SETTINGS_RECORD, psReserved) == 4);
static_assert(offsetof(PRINTER_SETTINGS_RECORD, psUserSize) == 228);
static_assert(offsetof(PRINTER_SETTINGS_RECORD, psPrinterModel) == 232);
static_assert(offsetof(PRINTER_SETTINGS_RECORD, psColorSetting) == 234);
static_assert(offsetof(PRINTER_SETTINGS_RECORD, psReservedTail) == 236);

// The record used wherever none is stored: zeros with version and size set (paper size 1,
// single-side model, mono).
PRINTER_SETTINGS_RECORD DefaultSettingsRecord();

// A stored record exactly as read: its bytes on the platform heap and their number. Empty when there
// is no record.
struct StoredSettingsRecord {
    velt::HeapBlock bytes;
    DWORD size = 0;

    explicit operator bool() const { return bytes != nullptr; }
};

// Reads the record through a printer handle: "PrinterDataSize" must be read and non-zero, and
// "PrinterData" must return exactly that many bytes; otherwise the result is empty.
StoredSettingsRecord ReadSettingsRecord(HANDLE printer);

// The configuration interface's working copy: the stored record's first min(psSize, 240) bytes (never
// more than were read) over the default record, then version and size set to the current ones.
// Without a stored record, the default record.
PRINTER_SETTINGS_RECORD SettingsRecordWorkingCopy(const StoredSettingsRecord& stored);

// The language monitor's view of the colour setting: present only in a record that reaches offset 236
// and holds 0 (mono) or 1 (two-colour). FALSE otherwise.
BOOL SettingsRecordColorSetting(const StoredSettingsRecord& stored, SHORT* colorSetting);

// Stores the record through a printer handle opened with all access: "PrinterDataSize" = 240 first,
// then "PrinterData" only if that succeeded. TRUE when both were stored.
BOOL WriteSettingsRecord(HANDLE printer, const PRINTER_SETTINGS_RECORD* record);
