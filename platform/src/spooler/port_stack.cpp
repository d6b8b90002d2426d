// The monitor stack of a printer's port: its language monitor (none yet) over the host's port monitor.
#include "host/testing.h"
#include "spooler/internal.h"

namespace host {

const MONITOR* LanguageMonitorFor(const PrinterRecord&) { return nullptr; }

PortStack::~PortStack() {
    if (handle_ && table_->pfnClosePort) table_->pfnClosePort(handle_);
}

bool PortStack::Open(const PrinterRecord& printer, const std::u16string& portName) {
    std::u16string port = portName, name = printer.name;
    const MONITOR* portMonitor = HostPortMonitor();
    const MONITOR* language = LanguageMonitorFor(printer);
    HANDLE handle = nullptr;
    bool opened;
    if (language && language->pfnOpenPortEx) {
        opened = language->pfnOpenPortEx(port.data(), name.data(), &handle, const_cast<MONITOR*>(portMonitor));
        table_ = language;
    } else {
        opened = portMonitor->pfnOpenPort(port.data(), &handle);
        table_ = portMonitor;
    }
    if (!opened) return false;
    handle_ = handle;
    return true;
}

} // namespace host
