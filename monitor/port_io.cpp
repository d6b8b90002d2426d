// WritePort, ReadPort and GetPrinterDataFromPort: job data passed on unchanged, held back while the
// printer reports an error; data queries forwarded to the port monitor or answered by the mailbox.
#include "fill_block.h"
#include "mailbox.h"
#include "monitor_log.h"
#include "monitor_state.h"
#include "port_operations.h"
#include "status_worker.h"

namespace lmon {

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

void ArmTrailer(PortRecord* port) {
    MonitorLock lock;
    JobRecord* job = port->jobs;
    if (job != nullptr && (job->flags & JR_ARMED) != 0) {
        job->flags = (job->flags & ~JR_ARMED) | JR_TRAILER_DUE;
    }
}

} // namespace

BOOL WINAPI WritePort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten) {
    PortCall port(hPort);
    if (!port) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    ArmTrailer(port.get());
    if (PortHas(port.get(), PR_WORKER_LOOP)) {
        if (HANDLE ready = port->hReadyEvent.load()) {
            WaitForSingleObject(ready, INFINITE);
        }
    }
    if (port->closing.load()) {
        if (pcbWritten != nullptr) {
            *pcbWritten = 0;
        }
        return Fail(ERROR_INVALID_HANDLE); // let go by ClosePort: the port is gone
    }
    WriteMonitorLog("Inside WritePort", LogPrinter());
    if (Monitor().fillPending.exchange(0) != 0) {
        SendFillBlock(port.get());
    }
    const BOOL written = port->portMonitor.pfnWritePort(port->portHandle, pBuffer, cbBuf, pcbWritten);
    if (written) {
        ClearPortFlags(port.get(), PR_WRITE_FAILED);
    } else {
        const DWORD error = GetLastError();
        SetPortFlags(port.get(), PR_WRITE_FAILED);
        if (PortHas(port.get(), PR_WORKER_LOOP)) {
            WakeStatusWorker(port.get());
        }
        SetLastError(error);
    }
    return written;
}

BOOL WINAPI ReadPort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbRead) {
    PortCall port(hPort);
    if (!port) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return port->portMonitor.pfnReadPort(port->portHandle, pBuffer, cbBuffer, pcbRead);
}

BOOL WINAPI GetPrinterDataFromPort(HANDLE hPort, DWORD ControlID, LPWSTR pValueName, LPWSTR lpInBuffer,
                                   DWORD cbInBuffer, LPWSTR lpOutBuffer, DWORD cbOutBuffer, LPDWORD lpcbReturned) {
    PortCall port(hPort);
    if (!port) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (ControlID == 0) {
        return HandleMailboxRequest(port.get(), pValueName, lpOutBuffer, cbOutBuffer, lpcbReturned);
    }
    const auto forward = port->portMonitor.pfnGetPrinterDataFromPort;
    if (forward == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return forward(port->portHandle, ControlID, pValueName, lpInBuffer, cbInBuffer, lpOutBuffer, cbOutBuffer,
                   lpcbReturned);
}

} // namespace lmon
