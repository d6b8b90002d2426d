// The printer-data mailbox: the configuration interface's four requests, which reach the monitor as
// printer-data reads with control id 0, are exchanged with the printer through the port monitor, and
// each step's result is left in the current printer's "Setprintdata".
#pragma once

#include "platform.h"
#include "platform_owners.h"
#include "port_record.h"

namespace lmon {

enum class MailboxRequest { None, PrintConfig, GetConfigOthers, GetConfigBuffer, SetColor };

// The request a value name asks for (compared without regard to case); None for any other name.
MailboxRequest MailboxRequestOf(LPCWSTR valueName);

// Whether requests may go through a port of this name: it begins with USB, COM or LPT, all three
// letters in one case.
bool MailboxServesPort(LPCWSTR portName);

// The printer named by "CurrentPrinterName" under HKEY_LOCAL_MACHINE "SOFTWARE\Calvix", opened with
// all access; none when the key, the value or the printer is missing.
velt::PrinterHandle OpenCurrentPrinter();

// "Setprintdata" = result (REG_BINARY, 4 bytes) on the current printer; nothing when it does not open.
void StoreRequestResult(DWORD result);

// GetPrinterDataFromPort with control id 0.
BOOL HandleMailboxRequest(PortRecord* port, LPCWSTR valueName, LPWSTR output, DWORD outputSize, LPDWORD returned);

#define MAILBOX_REPLY_BYTES 4
#define MAILBOX_REPLY_PAUSE 30
#define COLOR_DATA_BYTES 5
#define CURRENT_PRINTER_NAME_BYTES 1024

} // namespace lmon
