// A language monitor for the spooler's tests, loaded by the spooler as any monitor is: it passes every
// call through to the port monitor beneath it unchanged, and keeps a journal of what it was asked.
// Like a monitor of a bidirectional printer it can hold the jobs it ended (the spooler keeps them
// queued) until the test releases them as ejected. Its control-0 printer data answers the name "Echo"
// with the four bytes "ECHO", as a monitor answers a request from the printer.
#include <mutex>
#include <string>
#include <vector>

#include "platform.h"

namespace {

struct Port {
    MONITOR below;
    HANDLE handle;
    DWORD jobId = 0;
    std::u16string printer;
};

struct State {
    std::mutex lock;
    std::vector<std::string> journal;
    bool hold = false;
    std::vector<std::pair<std::u16string, DWORD>> held; // printer, job id
};

State& TheState() {
    static auto* state = new State;
    return *state;
}

std::string Narrow(LPCWSTR text) {
    std::string out;
    for (; text && *text; ++text) out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    return out;
}

void Note(std::string line) {
    State& state = TheState();
    std::lock_guard guard(state.lock);
    state.journal.push_back(std::move(line));
}

HANDLE OpenJobPrinter(const std::u16string& name) {
    std::u16string copy = name;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE printer = nullptr;
    return OpenPrinterW(copy.data(), &printer, &defaults) ? printer : nullptr;
}

DWORD JobStatus(HANDLE printer, DWORD jobId) {
    DWORD needed = 0;
    GetJobW(printer, jobId, 1, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!needed || !GetJobW(printer, jobId, 1, buffer.data(), needed, &needed)) return 0;
    return reinterpret_cast<JOB_INFO_1W*>(buffer.data())->Status;
}

void Eject(const std::u16string& printerName, DWORD jobId) {
    if (HANDLE printer = OpenJobPrinter(printerName)) {
        SetJobW(printer, jobId, 0, nullptr, JOB_CONTROL_LAST_PAGE_EJECTED);
        ClosePrinter(printer);
    }
}

BOOL WINAPI OpenPortEx(LPWSTR portName, LPWSTR printerName, PHANDLE handle, LPMONITOR below) {
    Note("OpenPortEx " + Narrow(portName) + " " + Narrow(printerName));
    HANDLE inner = nullptr;
    if (!below || !below->pfnOpenPort(portName, &inner)) return FALSE;
    *handle = new Port{*below, inner, 0, {}};
    return TRUE;
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR printerName, DWORD jobId, DWORD level, LPBYTE info) {
    auto* port = static_cast<Port*>(handle);
    Note("StartDocPort " + std::to_string(jobId));
    port->jobId = jobId;
    port->printer = printerName;
    return port->below.pfnStartDocPort(port->handle, printerName, jobId, level, info);
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD written) {
    auto* port = static_cast<Port*>(handle);
    Note("WritePort " + std::to_string(size));
    return port->below.pfnWritePort(port->handle, data, size, written);
}

BOOL WINAPI ReadPort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD read) {
    auto* port = static_cast<Port*>(handle);
    return port->below.pfnReadPort(port->handle, data, size, read);
}

// As a language monitor ends a job: the port's end, then the job either held (until the test ejects
// it) or reported ejected at once; a job that is not printed by then is deleted.
BOOL WINAPI EndDocPort(HANDLE handle) {
    auto* port = static_cast<Port*>(handle);
    HANDLE printer = OpenJobPrinter(port->printer);
    const DWORD status = printer ? JobStatus(printer, port->jobId) : 0;
    Note(std::string("EndDocPort ") + ((status & JOB_STATUS_DELETING) ? "deleting" : "printing"));
    const BOOL ended = port->below.pfnEndDocPort(port->handle);
    State& state = TheState();
    bool hold;
    {
        std::lock_guard guard(state.lock);
        hold = state.hold;
        if (hold) state.held.emplace_back(port->printer, port->jobId);
    }
    if (printer) {
        if (!hold) SetJobW(printer, port->jobId, 0, nullptr, JOB_CONTROL_LAST_PAGE_EJECTED);
        if (!(JobStatus(printer, port->jobId) & JOB_STATUS_PRINTED))
            SetJobW(printer, port->jobId, 0, nullptr, JOB_CONTROL_DELETE);
        ClosePrinter(printer);
    }
    return ended;
}

BOOL WINAPI ClosePort(HANDLE handle) {
    auto* port = static_cast<Port*>(handle);
    Note("ClosePort");
    const BOOL closed = port->below.pfnClosePort(port->handle);
    delete port;
    return closed;
}

BOOL WINAPI GetPrinterDataFromPort(HANDLE handle, DWORD control, LPWSTR name, LPWSTR in, DWORD inSize, LPWSTR out,
                                   DWORD outSize, LPDWORD returned) {
    auto* port = static_cast<Port*>(handle);
    if (control != 0) {
        if (!port->below.pfnGetPrinterDataFromPort) return FALSE;
        return port->below.pfnGetPrinterDataFromPort(port->handle, control, name, in, inSize, out, outSize, returned);
    }
    Note("GetPrinterDataFromPort " + Narrow(name));
    if (Narrow(name) != "Echo") {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (outSize < 4) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* bytes = reinterpret_cast<BYTE*>(out);
    bytes[0] = 'E', bytes[1] = 'C', bytes[2] = 'H', bytes[3] = 'O';
    *returned = 4;
    return TRUE;
}

MONITOREX table = {sizeof(MONITOR),
                   {nullptr, nullptr, OpenPortEx, StartDocPort, WritePort, ReadPort, EndDocPort, ClosePort, nullptr,
                    nullptr, nullptr, nullptr, GetPrinterDataFromPort, nullptr, nullptr, nullptr, nullptr}};

} // namespace

extern "C" {

__attribute__((visibility("default"))) LPMONITOREX WINAPI InitializePrintMonitor(LPWSTR registryRoot) {
    Note("InitializePrintMonitor " + Narrow(registryRoot));
    return &table;
}

// The journal since the last call, one line each, and emptied.
__attribute__((visibility("default"))) void TestMonitorJournal(std::vector<std::string>* lines) {
    State& state = TheState();
    std::lock_guard guard(state.lock);
    *lines = std::move(state.journal);
    state.journal.clear();
}

__attribute__((visibility("default"))) void TestMonitorHoldJobs(BOOL hold) {
    State& state = TheState();
    std::lock_guard guard(state.lock);
    state.hold = hold != FALSE;
}

// Reports every held job's last page ejected.
__attribute__((visibility("default"))) void TestMonitorEjectHeldJobs() {
    std::vector<std::pair<std::u16string, DWORD>> held;
    {
        State& state = TheState();
        std::lock_guard guard(state.lock);
        held.swap(state.held);
    }
    for (const auto& [printer, job] : held) Eject(printer, job);
}

} // extern "C"
