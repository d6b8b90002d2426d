// Printer drivers as the spooler installs them: the rendering driver, its data file and the
// configuration interface (the printer interface library) that a printer of the driver uses; and the
// list of the spooler's printers.
#pragma once

#include "host/types.h"

typedef struct _DRIVER_INFO_2W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
} DRIVER_INFO_2W, *PDRIVER_INFO_2W, *LPDRIVER_INFO_2W;

typedef struct _PRINTER_INFO_4W {
    LPWSTR pPrinterName;
    LPWSTR pServerName;
    DWORD Attributes;
} PRINTER_INFO_4W, *PPRINTER_INFO_4W, *LPPRINTER_INFO_4W;

#define PRINTER_ENUM_DEFAULT 0x00000001
#define PRINTER_ENUM_LOCAL 0x00000002

extern "C" {

// The local printers (level 4), in the order of their names. A short buffer fails with
// ERROR_INSUFFICIENT_BUFFER and *needed; no printers need no buffer.
BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE printers, DWORD size, LPDWORD needed,
                   LPDWORD returned);

// Installs a driver (level 2) under its name; the files are known by their names in the printer driver
// folder. Installing a driver of a name that is installed already replaces it and upgrades every printer
// of the driver (its configuration interface's DrvUpgradePrinter).
BOOL AddPrinterDriverW(LPWSTR serverName, DWORD level, LPBYTE driverInfo);
// The driver of a printer at level 2, its files as full paths; a short buffer fails with
// ERROR_INSUFFICIENT_BUFFER and *needed; a printer whose driver is not installed with
// ERROR_UNKNOWN_PRINTER_DRIVER.
BOOL GetPrinterDriverW(HANDLE printer, LPWSTR environment, DWORD level, LPBYTE driverInfo, DWORD size, LPDWORD needed);

} // extern "C"
