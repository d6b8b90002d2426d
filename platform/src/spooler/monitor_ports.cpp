// The ports opened through language monitors: one per port name, opened (OpenPortEx) when the first
// job of a printer on it starts spooling or a printer-data read needs the monitor, and kept open
// until the process ends, when each is closed (ClosePort) so that its monitor ends its status worker
// and reports the jobs it still holds.
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "host/testing.h"
#include "kernel/internal.h"
#include "spooler/internal.h"
#include "store/internal.h"

namespace host {

namespace {

struct OpenedPort {
    MonitorPort port;
};

struct MonitorPorts {
    std::mutex lock;                             // held while a port is being opened, so that a port is opened once
    std::map<std::u16string, OpenedPort> byName; // by folded port name
    bool closeAtExit = false;
};

MonitorPorts& Ports() {
    static auto* ports = new MonitorPorts;
    return *ports;
}

void CloseAtExit() { CloseMonitorPorts(); }

} // namespace

bool OpenMonitorPort(const PrinterRecord& printer, std::optional<MonitorPort>* port) {
    port->reset();
    const MONITOR* monitor = nullptr;
    if (!LanguageMonitorFor(printer, &monitor)) return false;
    if (!monitor) return true;
    if (!monitor->pfnOpenPortEx) {
        SetLastError(ERROR_INVALID_PRINT_MONITOR);
        return false;
    }
    MonitorPorts& ports = Ports();
    std::lock_guard guard(ports.lock);
    const std::u16string fold = FoldCase(printer.port);
    if (auto found = ports.byName.find(fold); found != ports.byName.end() && found->second.port.table == monitor) {
        *port = found->second.port;
        return true;
    }
    std::u16string portName = printer.port, printerName = printer.name;
    HANDLE handle = nullptr;
    if (!monitor->pfnOpenPortEx(portName.data(), printerName.data(), &handle, PortMonitorBeneath())) return false;
    if (!ports.closeAtExit) {
        std::atexit(CloseAtExit);
        ports.closeAtExit = true;
    }
    ports.byName[fold] = OpenedPort{MonitorPort{monitor, handle}};
    *port = MonitorPort{monitor, handle};
    return true;
}

void CloseMonitorPorts() {
    std::vector<MonitorPort> closing;
    {
        MonitorPorts& ports = Ports();
        std::lock_guard guard(ports.lock);
        for (auto& [name, opened] : ports.byName) closing.push_back(opened.port);
        ports.byName.clear();
    }
    // Outside the lock: ClosePort waits for the port's status worker, which may call into the spooler.
    for (const MonitorPort& port : closing)
        if (port.table->pfnClosePort) port.table->pfnClosePort(port.handle);
}

} // namespace host

extern "C" BOOL HostOpenPrinterPort(LPCWSTR printerName) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        std::optional<host::PrinterRecord> printer;
        {
            std::lock_guard guard(host::StoreLock());
            printer = host::LoadPrinterByName(host::View(printerName));
        }
        if (!printer) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return FALSE;
        }
        std::optional<host::MonitorPort> port;
        if (!host::OpenMonitorPort(*printer, &port)) return FALSE;
        return TRUE;
    });
}
