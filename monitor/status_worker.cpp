// Starting and running the status worker.
#include "status_worker.h"

#include "job_release.h"
#include "monitor_state.h"

namespace lmon {

namespace {

// The wait for hWakeEvent, with what the port shows of it while it lasts.
void WaitForWake(PortRecord* port, HANDLE wake, DWORD wait) {
    port->workerWaitEnd.store(GetTickCount() + wait);
    port->workerWaiting.store(TRUE);
    WaitForSingleObject(wake, wait);
    port->workerWaiting.store(FALSE);
}

void IdleRelease(PortRecord* port) {
    if (GetTickCount() - port->lastGoodPollTick <= IDLE_RELEASE_AFTER) {
        return;
    }
    if (WaitForSingleObject(port->hPortEvent, IDLE_RELEASE_PORT_WAIT) == WAIT_OBJECT_0) {
        ReleaseJobs(port, RELEASE_ALL_JOBS, FALSE);
        SetEvent(port->hPortEvent);
    }
}

} // namespace

void WakeStatusWorker(PortRecord* port) {
    if (HANDLE wake = port->hWakeEvent.load()) {
        port->workerWaiting.store(FALSE); // the wait is over once the event is signalled
        SetEvent(wake);
    }
}

bool PortNameBegins(LPCWSTR portName, const char prefix[4]) {
    if (portName == nullptr) {
        return false;
    }
    bool upper = true;
    bool lower = true;
    for (int i = 0; i < 3; ++i) {
        const WCHAR c = portName[i];
        const WCHAR big = static_cast<WCHAR>(prefix[i]);
        upper = upper && c == big;
        lower = lower && c == static_cast<WCHAR>(big - 'A' + 'a');
        if (c == 0) {
            return false;
        }
    }
    return upper || lower;
}

BOOL StartStatusWorker(PortRecord* port) {
    SetPortFlags(port, PR_WORKER_RUN);
    WaitForSingleObject(port->hPortEvent, INFINITE);
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (wake != nullptr) {
        port->hWakeEvent.store(wake);
        HANDLE thread = CreateThread(nullptr, STATUS_WORKER_STACK, StatusWorker, port, 0, nullptr);
        if (thread != nullptr) {
            SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
            CloseHandle(thread);
            return TRUE;
        }
        HANDLE expected = wake;
        port->hWakeEvent.compare_exchange_strong(expected, nullptr);
        CloseHandle(wake);
    }
    ClearPortFlags(port, PR_WORKER_RUN);
    SetEvent(port->hPortEvent);
    return FALSE;
}

DWORD WINAPI StatusWorker(LPVOID parameter) {
    auto* port = static_cast<PortRecord*>(parameter);
    MonitorState& m = Monitor();
    HANDLE wake = port->hWakeEvent.load(); // the event this worker was started with
    SetPortFlags(port, PR_WORKER_STARTED);
    SetEvent(port->hPortEvent);

    // The ready event lives as long as the port record: a writer may be waiting on it when the
    // worker ends, and is let go then.
    HANDLE ready = port->hReadyEvent.load();
    if (ready == nullptr) {
        ready = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        port->hReadyEvent.store(ready);
    } else {
        SetEvent(ready);
    }
    if (ready != nullptr) {
        SetPortFlags(port, PR_WORKER_LOOP);
        // The idle release counts from the worker's start: a printer that reports errors from its
        // first poll on has not been failing for as long as the tick count has been running.
        port->lastGoodPollTick = GetTickCount();
        for (;;) {
            if (!PortHas(port, PR_WORKER_RUN)) {
                if (!PortHas(port, PR_IN_DOCUMENT)) {
                    break;
                }
                SetPortFlags(port, PR_WORKER_RUN);
            }
            PollPrinterStatus(port);
            const bool active = PortHasJobs(port) || PortHas(port, PR_WRITE_FAILED);
            WaitForWake(port, wake, active ? m.activeWait.load() : m.idleWait.load());
            if (PortHasJobs(port) && !PortHas(port, PR_WRITE_FAILED)) {
                ReleaseJobs(port, GetTickCount(), TRUE);
            }
            if (!PortHas(port, PR_IN_DOCUMENT)) {
                IdleRelease(port);
            }
            port->workerPasses.fetch_add(1);
        }
        ClearPortFlags(port, PR_WORKER_LOOP);
        ReleaseJobs(port, RELEASE_ALL_JOBS, FALSE);
        SetEvent(ready); // no writer stays held by a worker that has gone
    }
    ClearPortFlags(port, PR_WORKER_RUN | PR_WORKER_LOOP);
    port->workerPasses.fetch_add(1);
    HANDLE expected = wake;
    // ClosePort waits for this and may free the record at once: nothing of it is touched after.
    port->hWakeEvent.compare_exchange_strong(expected, nullptr);
    CloseHandle(wake);
    return 0;
}

} // namespace lmon
