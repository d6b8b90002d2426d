// The driver's log wrapper: every entry point opens its printer, writes one line to the rendering
// driver's log family when logging is on for that printer, and closes the printer again.
#pragma once

#include "platform.h"
#include "platform_owners.h"

struct PDEV;

// Writes `message` to the driver's log of the printer behind `printer` (none: nothing is written).
// Logging switched off, or a log that cannot be opened, only means that no line is written.
void DrvLog(const char* message, HANDLE printer, DWORD timeStamp);

// Opens the named printer with all access; none when no name is known or the open fails.
velt::PrinterHandle OpenOwnPrinter(const WCHAR* printerName);

// "Entering the function <entryPoint>" to the log of the named printer (none: no printer handle).
void LogEntry(const char* entryPoint, const WCHAR* printerName);
// The same for the printer of a device instance (none when there is no instance).
void LogEntry(const char* entryPoint, const PDEV* pdev);
