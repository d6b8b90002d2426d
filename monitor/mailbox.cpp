// The four configuration requests.
#include "mailbox.h"

#include "fill_block.h"
#include "monitor_state.h"
#include "status_worker.h"

namespace lmon {

namespace {

const BYTE kPrintConfig[] = {0x1B, 0x40, 0x1F, 0x74};
const BYTE kGetConfigOthers[] = {0x1B, 0x40, 0x1F, 0x31, 0x04};
const BYTE kGetConfigBuffer[] = {0x1B, 0x40, 0x1F, 0x31, 0x02};

BOOL Write(PortRecord* port, const BYTE* bytes, DWORD count) {
    DWORD written = 0;
    return port->portMonitor.pfnWritePort(port->portHandle, const_cast<LPBYTE>(bytes), count, &written);
}

BOOL Read(PortRecord* port, LPWSTR output, DWORD outputSize) {
    DWORD read = 0;
    return port->portMonitor.pfnReadPort(port->portHandle, reinterpret_cast<LPBYTE>(output), outputSize, &read);
}

BOOL GetConfig(PortRecord* port, const BYTE* command, DWORD count, LPWSTR output, DWORD outputSize, LPDWORD returned) {
    BOOL result = Write(port, command, count);
    StoreRequestResult(result);
    if (!result) {
        return result;
    }
    Sleep(MAILBOX_REPLY_PAUSE);
    result = Read(port, output, outputSize);
    StoreRequestResult(result);
    if (!result) {
        return result;
    }
    if (returned != nullptr) {
        // Four bytes whatever the printer sent, but never more than the caller's buffer holds.
        *returned = outputSize < MAILBOX_REPLY_BYTES ? outputSize : MAILBOX_REPLY_BYTES;
    }
    return result;
}

// Sends the current printer's "ColorDataFile". A value that cannot be read whole sends nothing and
// stores 0: five undefined bytes would otherwise reach the printer as a configuration command.
BOOL SetColor(PortRecord* port, BOOL started) {
    const velt::PrinterHandle printer = OpenCurrentPrinter();
    if (!printer) {
        return started;
    }
    BYTE command[COLOR_DATA_BYTES] = {};
    WCHAR name[] = TEXT("ColorDataFile");
    DWORD type = 0;
    DWORD needed = 0;
    BOOL result = FALSE;
    if (GetPrinterDataW(printer.get(), name, &type, command, sizeof command, &needed) == ERROR_SUCCESS &&
        needed == sizeof command) {
        result = Write(port, command, sizeof command);
    }
    StoreRequestResult(result);
    return result;
}

} // namespace

MailboxRequest MailboxRequestOf(LPCWSTR valueName) {
    if (valueName == nullptr) {
        return MailboxRequest::None;
    }
    if (lstrcmpiW(valueName, TEXT("Printconfig")) == 0) return MailboxRequest::PrintConfig;
    if (lstrcmpiW(valueName, TEXT("Getconfig_others")) == 0) return MailboxRequest::GetConfigOthers;
    if (lstrcmpiW(valueName, TEXT("Getconfig_buffer")) == 0) return MailboxRequest::GetConfigBuffer;
    if (lstrcmpiW(valueName, TEXT("Setcolor")) == 0) return MailboxRequest::SetColor;
    return MailboxRequest::None;
}

bool MailboxServesPort(LPCWSTR portName) {
    return PortNameBegins(portName, "USB") || PortNameBegins(portName, "COM") || PortNameBegins(portName, "LPT");
}

velt::PrinterHandle OpenCurrentPrinter() {
    const velt::RegistryKey key = velt::OpenRegistryKey(HKEY_LOCAL_MACHINE, TEXT("SOFTWARE\\Calvix"), KEY_ALL_ACCESS);
    if (!key) {
        return velt::PrinterHandle();
    }
    // One character more than the value may fill: the name ends there whatever is stored.
    constexpr DWORD kNameChars = CURRENT_PRINTER_NAME_BYTES / sizeof(WCHAR);
    WCHAR name[kNameChars + 1] = {};
    DWORD type = 0;
    DWORD size = CURRENT_PRINTER_NAME_BYTES;
    if (RegQueryValueExW(key.get(), TEXT("CurrentPrinterName"), nullptr, &type, reinterpret_cast<LPBYTE>(name),
                         &size) != ERROR_SUCCESS) {
        return velt::PrinterHandle();
    }
    const DWORD chars = size / sizeof(WCHAR);
    name[chars < kNameChars ? chars : kNameChars] = 0;
    if (name[0] == 0) {
        return velt::PrinterHandle(); // an empty name would open the print server
    }
    return velt::OpenPrinterFor(name, PRINTER_ALL_ACCESS);
}

void StoreRequestResult(DWORD result) {
    const velt::PrinterHandle printer = OpenCurrentPrinter();
    if (!printer) {
        return;
    }
    WCHAR name[] = TEXT("Setprintdata");
    SetPrinterDataW(printer.get(), name, REG_BINARY, reinterpret_cast<LPBYTE>(&result), sizeof result);
}

BOOL HandleMailboxRequest(PortRecord* port, LPCWSTR valueName, LPWSTR output, DWORD outputSize, LPDWORD returned) {
    const MailboxRequest request = MailboxRequestOf(valueName);
    if (request == MailboxRequest::None) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!MailboxServesPort(port->portName)) {
        return FALSE;
    }
    WCHAR printerName[OPENED_PRINTER_NAME_CHARS] = {};
    CopyOpenedPrinterName(printerName, OPENED_PRINTER_NAME_CHARS);
    BOOL result = port->portMonitor.pfnStartDocPort(port->portHandle, printerName, 0, 1, nullptr);
    if (Monitor().fillPending.exchange(0) != 0) {
        SendFillBlock(port);
    }
    if (result) {
        switch (request) {
        case MailboxRequest::PrintConfig:
            if (PortNameBegins(port->portName, "COM") || PortNameBegins(port->portName, "LPT")) {
                Read(port, output, outputSize);
            }
            result = Write(port, kPrintConfig, sizeof kPrintConfig);
            StoreRequestResult(result);
            break;
        case MailboxRequest::GetConfigOthers:
            result = GetConfig(port, kGetConfigOthers, sizeof kGetConfigOthers, output, outputSize, returned);
            break;
        case MailboxRequest::GetConfigBuffer:
            result = GetConfig(port, kGetConfigBuffer, sizeof kGetConfigBuffer, output, outputSize, returned);
            break;
        case MailboxRequest::SetColor: result = SetColor(port, result); break;
        case MailboxRequest::None: break;
        }
    }
    if (port->portMonitor.pfnEndDocPort != nullptr) {
        port->portMonitor.pfnEndDocPort(port->portHandle);
    }
    return result;
}

} // namespace lmon
