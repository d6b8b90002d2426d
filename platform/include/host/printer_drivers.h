// Printer drivers as the spooler installs them: the rendering driver, its data file and the
// configuration interface (the printer interface library) that a printer of the driver uses.
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

extern "C" {

// Installs a driver (level 2) under its name; the files are known by their names in the printer driver
// folder. Installing a driver of a name that is installed already replaces it and upgrades every printer
// of the driver (its configuration interface's DrvUpgradePrinter).
BOOL AddPrinterDriverW(LPWSTR serverName, DWORD level, LPBYTE driverInfo);
// The driver of a printer at level 2, its files as full paths; a short buffer fails with
// ERROR_INSUFFICIENT_BUFFER and *needed; a printer whose driver is not installed with
// ERROR_UNKNOWN_PRINTER_DRIVER.
BOOL GetPrinterDriverW(HANDLE printer, LPWSTR environment, DWORD level, LPBYTE driverInfo, DWORD size,
                       LPDWORD needed);

} // extern "C"
