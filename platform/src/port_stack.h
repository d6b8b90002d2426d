// The monitors a printer's jobs go through: the language monitor stacked on the printer's port (when
// the printer has one) over the host's port monitor.
#pragma once

#include <string>

#include "host/portmon.h"
#include "printer_store.h"

namespace host {

// The language monitor stacked on this printer's port, or null. No language monitor is stacked yet:
// this is where the printer's monitor (loaded through its InitializePrintMonitor) will be found.
const MONITOR* LanguageMonitorFor(const PrinterRecord& printer);

// An open port through the top of the stack; closed (ClosePort) when it dies.
class PortStack {
public:
    PortStack() = default;
    ~PortStack();
    PortStack(const PortStack&) = delete;
    PortStack& operator=(const PortStack&) = delete;

    // Opens the port for the printer; false with the monitor's last error.
    bool Open(const PrinterRecord& printer, const std::u16string& portName);
    const MONITOR& Table() const { return *table_; }
    HANDLE Handle() const { return handle_; }

private:
    const MONITOR* table_ = nullptr;
    HANDLE handle_ = nullptr;
};

} // namespace host
