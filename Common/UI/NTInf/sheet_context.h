// The working data of one open document or device property sheet: the caller's printer, the
// printer's driver name and stored settings record, and the working device mode.
#pragma once

#include "driver_devmode.h"
#include "platform.h"
#include "printer_settings_record.h"

typedef struct _SHEET_CONTEXT {
    struct _SHEET_CONTEXT* self;      // the record's own address
    HANDLE printer;                   // the caller's handle, not owned
    LPWSTR driverName;                // owned copy of the printer's driver name
    PRINTER_SETTINGS_RECORD settings; // working copy of the printer's stored settings record
    DRIVER_DEVMODE devmode;           // the working device mode
    PVOID optionItems;                // owned option items of a document sheet (none until the pages build them)
    WORD optionItemCount;
    BYTE writeAllowed;            // bit 0: the caller's output record may be written
    HANDLE optionSheet;           // the service's handle of the option-item sheet
    PVOID sheetInfo;              // owned description of the option-item sheet (document sheets only)
    const DEVMODEW* inputDevmode; // the caller's input record, not owned, may be absent
    DEVMODEW* outputDevmode;      // the caller's output record, not owned, absent unless writing is allowed
} SHEET_CONTEXT, *PSHEET_CONTEXT;

#define SHEET_WRITE_ALLOWED 0x01

// Builds the working device mode of a sheet on the printer behind the handle: the defaults with the
// printer's driver name, the printer's default device mode and the caller's input merged in,
// dmDriverExtra 16, and the in-memory paper list refreshed from the printer (currentPrinterName) when
// it can be read. The driver name comes back in a new block of the process heap when asked for.
// FALSE when the printer's information can't be read.
BOOL BuildSheetDevmode(HANDLE printer, const DEVMODEW* input, DRIVER_DEVMODE* devmode, LPWSTR* driverName);

// A new context for the printer and input record (a device sheet passes none); null when the printer's
// information can't be read or memory runs out.
PSHEET_CONTEXT CreateSheetContext(HANDLE printer, const DEVMODEW* input);

// Frees the context and everything it owns; none does nothing.
void ReleaseSheetContext(PSHEET_CONTEXT context);
