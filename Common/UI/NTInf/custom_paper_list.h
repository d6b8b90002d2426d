// The five user-defined paper sizes of a printer, stored with it as the printer-data value
// "CustomPaperList" (REG_BINARY, 260 bytes), and the step that puts one of them into a device mode.
#pragma once

#include <cstddef>

#include "driver_devmode.h"
#include "platform.h"

#define USER_PAPER_NAME_CHARS 22

typedef struct _USER_PAPER_ENTRY {
    WCHAR name[USER_PAPER_NAME_CHARS]; // terminated and zero-padded
    DWORD width;                       // millimetres
    DWORD length;                      // millimetres
} USER_PAPER_ENTRY, *PUSER_PAPER_ENTRY;

typedef struct _CUSTOM_PAPER_LIST {
    USER_PAPER_ENTRY entries[USER_PAPER_COUNT]; // "User Defined Size 1" to "User Defined Size 5"
} CUSTOM_PAPER_LIST, *PCUSTOM_PAPER_LIST;

static_assert(sizeof(USER_PAPER_ENTRY) == 52);
static_assert(offsetof(USER_PAPER_ENTRY, name) == 0);
static_assert(offsetof(USER_PAPER_ENTRY, width) == 44);
static_assert(offsetof(USER_PAPER_ENTRY, length) == 48);
static_assert(sizeof(CUSTOM_PAPER_LIST) == 260);

// The table in force while the printer stores none: five entries of 58 mm by 50 mm.
CUSTOM_PAPER_LIST BuiltInCustomPaperList();

// Reads the stored table of the named printer (opened for use). On success every name is terminated;
// on failure (printer or value missing, unreadable, or not exactly 260 bytes) list is left as it was.
BOOL ReadCustomPaperList(LPCWSTR printerName, CUSTOM_PAPER_LIST* list);

// Stores the table with the named printer (opened with all access) as REG_BINARY; on failure the last
// error says why.
BOOL WriteCustomPaperList(LPCWSTR printerName, const CUSTOM_PAPER_LIST* list);

// An entry's sizes in the device mode's tenths of a millimetre, from the low 16 bits of the stored
// millimetres. FALSE when a size does not fit the record's 16-bit signed fields.
BOOL UserPaperTenths(const USER_PAPER_ENTRY* entry, SHORT* widthTenths, SHORT* lengthTenths);

// Selects entry index (0..4) in the record: paper id 259 + index, its sizes and dmUserSize. FALSE, with
// the record unchanged, for an index out of range or sizes that don't fit.
BOOL ChooseUserPaperSize(DRIVER_DEVMODE* record, const CUSTOM_PAPER_LIST* list, DWORD index);
