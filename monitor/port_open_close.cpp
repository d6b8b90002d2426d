// OpenPortEx and ClosePort: a port record for every open port, with its status worker.
#include <cstring>

#include "job_release.h"
#include "monitor_state.h"
#include "port_operations.h"
#include "status_worker.h"

namespace lmon {

namespace {

#define CLOSE_DRAIN_PAUSE 10
#define CLOSE_WORKER_PAUSE 500

bool TableServes(const MONITOR* table) {
    return table != nullptr && table->pfnOpenPort != nullptr && table->pfnStartDocPort != nullptr &&
           table->pfnWritePort != nullptr && table->pfnReadPort != nullptr && table->pfnClosePort != nullptr;
}

// Lock held: a new record for the name at the front of the port list, with its port event; null when
// something cannot be made.
PortRecord* AddPortRecord(LPCWSTR portName) {
    PortRecord* port = NewPortRecord();
    HANDLE portEvent = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    const int chars = lstrlenW(portName) + 1;
    auto* name = static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(chars) * sizeof(WCHAR)));
    if (port == nullptr || portEvent == nullptr || name == nullptr) {
        DeletePortRecord(port);
        if (portEvent != nullptr) {
            CloseHandle(portEvent);
        }
        if (name != nullptr) {
            HeapFree(GetProcessHeap(), 0, name);
        }
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    lstrcpynW(name, portName, chars);
    port->portName = name;
    port->hPortEvent = portEvent;
    port->signature = PORT_RECORD_SIGNATURE;
    MonitorState& m = Monitor();
    port->next = m.ports;
    m.ports = port;
    return port;
}

// Takes the record out of the port list and frees it with its events, its name and every job record
// still held (their printers closed, with no job control).
void RemovePortRecord(PortRecord* port) {
    JobRecord* jobs = nullptr;
    {
        MonitorLock lock;
        PortRecord** link = &Monitor().ports;
        while (*link != nullptr && *link != port) {
            link = &(*link)->next;
        }
        if (*link == port) {
            *link = port->next;
        }
        port->signature = 0;
        jobs = port->jobs;
        port->jobs = nullptr;
    }
    FreeJobRecords(jobs);
    CloseHandle(port->hPortEvent);
    if (HANDLE ready = port->hReadyEvent.exchange(nullptr)) {
        CloseHandle(ready);
    }
    HeapFree(GetProcessHeap(), 0, port->portName);
    DeletePortRecord(port);
}

// The record for ClosePort: in the list, with its signature, and not being closed already.
PortRecord* ClaimForClose(HANDLE handle) {
    MonitorLock lock;
    PortRecord* port = FindPortByHandle(handle);
    if (port == nullptr || port->closing.exchange(TRUE)) {
        return nullptr;
    }
    return port;
}

} // namespace

BOOL WINAPI OpenPortEx(LPWSTR pPortName, LPWSTR pPrinterName, PHANDLE pHandle, struct _MONITOR* pMonitor) {
    SetOpenedPrinterName(pPrinterName);
    if (!TableServes(pMonitor)) {
        SetLastError(ERROR_INVALID_PRINT_MONITOR);
        return FALSE;
    }
    if (pHandle == nullptr || pPortName == nullptr || pPortName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PortRecord* port = nullptr;
    {
        // The look-up and the insertion are one step: two opens of one name never both succeed.
        MonitorLock lock;
        if (FindPortByName(pPortName) != nullptr) {
            SetLastError(ERROR_BUSY);
            return FALSE;
        }
        port = AddPortRecord(pPortName);
        if (port == nullptr) {
            return FALSE;
        }
        std::memcpy(&port->portMonitor, pMonitor, sizeof(MONITOR));
    }
    if (!port->portMonitor.pfnOpenPort(pPortName, &port->portHandle)) {
        const DWORD error = GetLastError();
        RemovePortRecord(port);
        SetLastError(error);
        return FALSE;
    }
    *pHandle = port;
    StartStatusWorker(port);
    return TRUE;
}

BOOL WINAPI ClosePort(HANDLE hPort) {
    PortRecord* port = ClaimForClose(hPort);
    if (port == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ClearPortFlags(port, PR_IN_DOCUMENT);
    // Calls still running on the port end first; a writer held back by a printer error, or a
    // document waiting for the port, is let go and finds the port closing.
    while (port->activeCalls.load() > 0) {
        if (HANDLE ready = port->hReadyEvent.load()) {
            SetEvent(ready);
        }
        SetEvent(port->hPortEvent);
        Sleep(CLOSE_DRAIN_PAUSE);
    }
    if (PortHas(port, PR_WORKER_RUN)) {
        ClearPortFlags(port, PR_WORKER_RUN);
        WakeStatusWorker(port);
    }
    while (port->hWakeEvent.load() != nullptr) {
        Sleep(CLOSE_WORKER_PAUSE);
    }
    if (port->portMonitor.pfnClosePort != nullptr) {
        port->portMonitor.pfnClosePort(port->portHandle);
    }
    RemovePortRecord(port);
    return TRUE;
}

} // namespace lmon
