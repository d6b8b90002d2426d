// A port opened through the host's port monitor alone, for one job: the road of a printer whose
// driver names no language monitor, and of a job printed to a file.
#include "host/testing.h"
#include "spooler/internal.h"

namespace host {

PortStack::~PortStack() {
    if (handle_ && table_->pfnClosePort) table_->pfnClosePort(handle_);
}

bool PortStack::Open(const std::u16string& portName) {
    std::u16string port = portName;
    const MONITOR* portMonitor = HostPortMonitor();
    HANDLE handle = nullptr;
    if (!portMonitor->pfnOpenPort(port.data(), &handle)) return false;
    table_ = portMonitor;
    handle_ = handle;
    return true;
}

} // namespace host
