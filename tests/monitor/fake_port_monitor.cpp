// The fake port monitor.
#include "fake_port_monitor.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace {

std::deque<FakePortState>& Ports() {
    static std::deque<FakePortState> ports;
    return ports;
}

// A port handle is the index of the port's state plus one.
FakePortState* FromHandle(HANDLE handle) {
    const auto index = reinterpret_cast<uintptr_t>(handle);
    if (index == 0 || index > Ports().size()) return nullptr;
    return &Ports()[index - 1];
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL WINAPI OpenPort(LPWSTR name, PHANDLE handle) {
    std::lock_guard guard(FakePortMonitor::Lock());
    FakePortState& port = FakePortMonitor::State(name);
    port.open = true;
    port.events.push_back({"open", {}, 0, GetTickCount()});
    uintptr_t index = 0;
    while (&Ports()[index] != &port) ++index;
    *handle = reinterpret_cast<HANDLE>(index + 1);
    return TRUE;
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR, DWORD jobId, DWORD, LPBYTE) {
    std::lock_guard guard(FakePortMonitor::Lock());
    FakePortState* port = FromHandle(handle);
    if (!port) return Fail(ERROR_INVALID_HANDLE);
    port->events.push_back({"start", {}, jobId, GetTickCount()});
    if (port->startFails) return Fail(ERROR_GEN_FAILURE);
    return TRUE;
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE buffer, DWORD count, LPDWORD written) {
    std::lock_guard guard(FakePortMonitor::Lock());
    *written = 0;
    FakePortState* port = FromHandle(handle);
    if (!port) return Fail(ERROR_INVALID_HANDLE);
    if (port->failWrites > 0) {
        --port->failWrites;
        port->events.push_back({"write-failed", {}, count, GetTickCount()});
        return Fail(ERROR_WRITE_FAULT);
    }
    const DWORD taken = port->writeTakesNothing ? 0 : std::min(count, port->mostPerWrite);
    port->events.push_back({"write", std::vector<uint8_t>(buffer, buffer + taken), count, GetTickCount()});
    port->written.insert(port->written.end(), buffer, buffer + taken);
    *written = taken;
    FakePortMonitor::Changed().notify_all();
    return TRUE;
}

BOOL WINAPI ReadPort(HANDLE handle, LPBYTE buffer, DWORD size, LPDWORD read) {
    std::lock_guard guard(FakePortMonitor::Lock());
    *read = 0;
    FakePortState* port = FromHandle(handle);
    if (!port) return Fail(ERROR_INVALID_HANDLE);
    const DWORD given = std::min<DWORD>(size, static_cast<DWORD>(port->readReply.size()));
    port->events.push_back(
        {"read", std::vector<uint8_t>(port->readReply.begin(), port->readReply.begin() + given), size});
    if (port->readFails) return Fail(ERROR_READ_FAULT);
    if (given) std::memcpy(buffer, port->readReply.data(), given);
    *read = given;
    return TRUE;
}

BOOL WINAPI EndDocPort(HANDLE handle) {
    std::lock_guard guard(FakePortMonitor::Lock());
    FakePortState* port = FromHandle(handle);
    if (!port) return Fail(ERROR_INVALID_HANDLE);
    port->events.push_back({"end", {}, 0, GetTickCount()});
    return TRUE;
}

BOOL WINAPI ClosePort(HANDLE handle) {
    std::lock_guard guard(FakePortMonitor::Lock());
    FakePortState* port = FromHandle(handle);
    if (!port) return Fail(ERROR_INVALID_HANDLE);
    port->events.push_back({"close", {}, 0, GetTickCount()});
    port->open = false;
    return TRUE;
}

BOOL WINAPI GetPrinterDataFromPort(HANDLE handle, DWORD control, LPWSTR, LPWSTR in, DWORD inSize, LPWSTR out,
                                   DWORD outSize, LPDWORD returned) {
    std::unique_lock guard(FakePortMonitor::Lock());
    *returned = 0;
    FakePortState* port = FromHandle(handle);
    if (!port) return Fail(ERROR_INVALID_HANDLE);
    const auto* request = reinterpret_cast<const uint8_t*>(in);
    port->events.push_back({"query", std::vector<uint8_t>(request, request + inSize), control, GetTickCount()});
    if (port->holdQueries) {
        port->queryHeld = true;
        FakePortMonitor::Changed().notify_all();
        FakePortMonitor::Changed().wait(guard, [&] { return !port->holdQueries; });
        port->queryHeld = false;
    }
    port->events.push_back({"query-answered", {}, control, GetTickCount()});
    FakePortMonitor::Changed().notify_all();
    if (port->statusFails) return Fail(ERROR_GEN_FAILURE);
    const DWORD given = std::min<DWORD>(outSize, static_cast<DWORD>(port->statusReply.size()));
    if (given) std::memcpy(out, port->statusReply.data(), given);
    *returned = given;
    return TRUE;
}

} // namespace

const MONITOR& FakePortMonitor::Table() {
    static const MONITOR table = [] {
        MONITOR t{};
        t.pfnOpenPort = OpenPort;
        t.pfnStartDocPort = StartDocPort;
        t.pfnWritePort = WritePort;
        t.pfnReadPort = ReadPort;
        t.pfnEndDocPort = EndDocPort;
        t.pfnClosePort = ClosePort;
        t.pfnGetPrinterDataFromPort = GetPrinterDataFromPort;
        return t;
    }();
    return table;
}

void FakePortMonitor::Reset() {
    std::lock_guard guard(Lock());
    Ports().clear();
}

std::mutex& FakePortMonitor::Lock() {
    static std::mutex lock;
    return lock;
}

std::condition_variable& FakePortMonitor::Changed() {
    static std::condition_variable changed;
    return changed;
}

FakePortState& FakePortMonitor::State(const std::u16string& name) {
    for (auto& port : Ports())
        if (port.name == name) return port;
    Ports().emplace_back();
    Ports().back().name = name;
    return Ports().back();
}

std::vector<uint8_t> FakePortMonitor::Written(const std::u16string& name) {
    return With(name, [](FakePortState& port) { return port.written; });
}

std::vector<FakePortEvent> FakePortMonitor::Events(const std::u16string& name) {
    return With(name, [](FakePortState& port) { return port.events; });
}

int FakePortMonitor::Count(const std::u16string& name, const std::string& call) {
    return With(name, [&](FakePortState& port) {
        return static_cast<int>(std::count_if(port.events.begin(), port.events.end(),
                                              [&](const FakePortEvent& e) { return e.call == call; }));
    });
}

void FakePortMonitor::ReleaseQueries(const std::u16string& name) {
    With(name, [](FakePortState& port) { port.holdQueries = false; });
    Changed().notify_all();
}
