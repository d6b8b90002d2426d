// The host's port monitor. A port is opened by name, or by the port it is attached to; file and device
// ports open their Linux file at first use and keep it until the port is closed; backend ports forward
// every call to the backend's table. Every byte a port takes is kept in the port record, and a stalled port takes none.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "host/path_map.h"
#include <usbprint.h>
#include <winsplp.h>
#include "host/testing.h"
#include "kernel/internal.h"
#include "portmon/internal.h"

namespace {

enum class PortType { File, Device, Sink, Backend };

class HostPort : public host::HostObject {
public:
    HostPort(std::u16string name, PortType type, std::string path, const MONITOR* backend, HANDLE inner,
             bool deviceNode = false)
        : HostObject(host::HandleKind::Port), name(std::move(name)), type(type), path(std::move(path)),
          backend(backend), inner(inner), deviceNode(deviceNode) {}

    const std::u16string name;
    const PortType type;
    const std::string path; // Linux path of a file or device port
    const MONITOR* const backend;
    const HANDLE inner;    // the backend's own handle
    const bool deviceNode; // a printer device node named as such (not as a FILE: port)

    std::mutex lock;
    host::UniqueFd fd;
    COMMTIMEOUTS timeouts{};

    // Lock held. Opens the file or device on first use.
    bool EnsureOpen() {
        if (fd.Valid()) return true;
        if (type == PortType::File) {
            fd = host::UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
        } else {
            fd = host::UniqueFd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
            if (!fd.Valid() && (errno == EACCES || errno == EPERM))
                fd = host::UniqueFd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
        }
        if (!fd.Valid()) SetLastError(errno == ENOENT ? host::MissingPathError(path) : host::ErrorFromErrno(errno));
        return fd.Valid();
    }
};

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && host::EqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool LooksLikePath(std::u16string_view name) {
    return name.find(u'\\') != std::u16string_view::npos || name.find(u'/') != std::u16string_view::npos ||
           (name.size() >= 2 && name[1] == u':' && host::FoldChar(name[0]) >= u'A' && host::FoldChar(name[0]) <= u'Z');
}

std::shared_ptr<HostPort> FindPort(HANDLE port) {
    auto found = host::FindHandleOf<HostPort>(port, host::HandleKind::Port);
    if (!found) SetLastError(ERROR_INVALID_HANDLE);
    return found;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL WINAPI EnumPorts(LPWSTR, DWORD level, LPBYTE, DWORD, LPDWORD needed, LPDWORD returned) {
    // The host keeps no list of ports: any name a printer uses is a port.
    if (level != 1 && level != 2) return Fail(ERROR_INVALID_LEVEL);
    if (needed) *needed = 0;
    if (returned) *returned = 0;
    return TRUE;
}

BOOL WINAPI OpenPort(LPWSTR name, PHANDLE handle) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!handle || !name || !*name) return Fail(ERROR_INVALID_PARAMETER);
        *handle = nullptr;
        const std::u16string portName(name);
        // A name no backend serves may be attached to another port, which then serves it.
        const MONITOR* backend = host::FindPortBackend(portName);
        std::u16string attached = backend ? std::u16string() : host::AttachedTarget(portName);
        if (!attached.empty()) backend = host::FindPortBackend(attached);
        std::u16string opened = attached.empty() ? portName : attached;
        if (backend) {
            if (!backend->pfnOpenPort) return Fail(ERROR_NOT_SUPPORTED);
            HANDLE inner = nullptr;
            if (!backend->pfnOpenPort(opened.data(), &inner)) return FALSE;
            *handle = host::AddHandle(std::make_shared<HostPort>(portName, PortType::Backend, "", backend, inner));
            return TRUE;
        }
        std::u16string_view target = opened;
        const bool filePrefix = StartsWithNoCase(target, u"FILE:");
        if (filePrefix) {
            target.remove_prefix(5);
            if (target.empty()) return Fail(ERROR_INVALID_NAME); // the platform would ask for a file name
        }
        if (filePrefix || LooksLikePath(target)) {
            const std::u16string platformPath(target);
            std::string linux = HostLinuxPath(platformPath.c_str());
            const PortType type = linux.rfind("/dev/", 0) == 0 ? PortType::Device : PortType::File;
            const bool deviceNode = type == PortType::Device && !filePrefix;
            *handle = host::AddHandle(
                std::make_shared<HostPort>(portName, type, std::move(linux), nullptr, nullptr, deviceNode));
            return TRUE;
        }
        *handle = host::AddHandle(std::make_shared<HostPort>(portName, PortType::Sink, "", nullptr, nullptr));
        return TRUE;
    });
}

BOOL WINAPI StartDocPort(HANDLE port, LPWSTR printerName, DWORD jobId, DWORD level, LPBYTE docInfo) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto p = FindPort(port);
        if (!p) return FALSE;
        if (p->type == PortType::Backend)
            return p->backend->pfnStartDocPort
                       ? p->backend->pfnStartDocPort(p->inner, printerName, jobId, level, docInfo)
                       : TRUE;
        std::lock_guard guard(p->lock);
        return p->type == PortType::Sink || p->EnsureOpen();
    });
}

BOOL WINAPI WritePort(HANDLE port, LPBYTE data, DWORD size, LPDWORD written) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (written) *written = 0;
        auto p = FindPort(port);
        if (!p) return FALSE;
        if (!written || (size && !data)) return Fail(ERROR_INVALID_PARAMETER);
        if (host::PortStalled(p->name)) return TRUE; // takes nothing, reports no error
        DWORD taken = 0;
        if (p->type == PortType::Backend) {
            if (!p->backend->pfnWritePort) return Fail(ERROR_NOT_SUPPORTED);
            const BOOL ok = p->backend->pfnWritePort(p->inner, data, size, &taken);
            taken = std::min(taken, size);
            host::RecordPortBytes(p->name, data, taken);
            *written = taken;
            return ok;
        }
        if (p->type == PortType::Sink) {
            taken = size;
        } else {
            std::lock_guard guard(p->lock);
            if (!p->EnsureOpen()) return FALSE;
            while (taken < size) {
                const ssize_t n = ::write(p->fd.Get(), data + taken, size - taken);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) {
                    const DWORD error = host::ErrorFromErrno(errno);
                    host::RecordPortBytes(p->name, data, taken);
                    *written = taken;
                    return Fail(error);
                }
                taken += static_cast<DWORD>(n);
            }
        }
        host::RecordPortBytes(p->name, data, taken);
        *written = taken;
        return TRUE;
    });
}

BOOL WINAPI ReadPort(HANDLE port, LPBYTE data, DWORD size, LPDWORD read) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (read) *read = 0;
        auto p = FindPort(port);
        if (!p) return FALSE;
        if (!read || (size && !data)) return Fail(ERROR_INVALID_PARAMETER);
        if (p->type == PortType::Backend)
            return p->backend->pfnReadPort ? p->backend->pfnReadPort(p->inner, data, size, read)
                                           : Fail(ERROR_NOT_SUPPORTED);
        if (p->type != PortType::Device) return TRUE; // files and sinks never answer
        std::lock_guard guard(p->lock);
        if (!p->EnsureOpen()) return FALSE;
        pollfd wait{p->fd.Get(), POLLIN, 0};
        const int ready =
            ::poll(&wait, 1, static_cast<int>(std::min<DWORD>(p->timeouts.ReadTotalTimeoutConstant, 60000)));
        if (ready <= 0 || !(wait.revents & POLLIN)) return TRUE; // nothing within the time-out
        const ssize_t n = ::read(p->fd.Get(), data, size);
        if (n < 0) return Fail(host::ErrorFromErrno(errno));
        *read = static_cast<DWORD>(n);
        return TRUE;
    });
}

BOOL WINAPI EndDocPort(HANDLE port) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto p = FindPort(port);
        if (!p) return FALSE;
        if (p->type == PortType::Backend) return p->backend->pfnEndDocPort ? p->backend->pfnEndDocPort(p->inner) : TRUE;
        return TRUE;
    });
}

BOOL WINAPI ClosePort(HANDLE port) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto removed = host::RemoveHandle(port, host::HandleKind::Port);
        if (!removed) return Fail(ERROR_INVALID_HANDLE);
        auto p = std::static_pointer_cast<HostPort>(removed);
        if (p->type == PortType::Backend && p->backend->pfnClosePort) return p->backend->pfnClosePort(p->inner);
        return TRUE; // the descriptor closes with the object
    });
}

BOOL WINAPI NoPortAdministration(LPWSTR, HWND, LPWSTR) { return Fail(ERROR_NOT_SUPPORTED); }

BOOL WINAPI AddPortEx(LPWSTR, DWORD, LPBYTE, LPWSTR) { return Fail(ERROR_NOT_SUPPORTED); }

BOOL WINAPI GetPrinterDataFromPort(HANDLE port, DWORD controlId, LPWSTR valueName, LPWSTR inBuffer, DWORD inSize,
                                   LPWSTR outBuffer, DWORD outSize, LPDWORD returned) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (returned) *returned = 0;
        auto p = FindPort(port);
        if (!p) return FALSE;
        if (p->type == PortType::Backend && p->backend->pfnGetPrinterDataFromPort)
            return p->backend->pfnGetPrinterDataFromPort(p->inner, controlId, valueName, inBuffer, inSize, outBuffer,
                                                         outSize, returned);
        // A printer device node has no USB printing class control to ask: its status query gets no bytes.
        if (p->deviceNode && controlId == IOCTL_USBPRINT_VENDOR_GET_COMMAND && returned) return TRUE;
        return Fail(ERROR_NOT_SUPPORTED);
    });
}

BOOL WINAPI SetPortTimeOuts(HANDLE port, LPCOMMTIMEOUTS timeouts, DWORD reserved) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto p = FindPort(port);
        if (!p) return FALSE;
        if (!timeouts) return Fail(ERROR_INVALID_PARAMETER);
        if (p->type == PortType::Backend)
            return p->backend->pfnSetPortTimeOuts ? p->backend->pfnSetPortTimeOuts(p->inner, timeouts, reserved) : TRUE;
        std::lock_guard guard(p->lock);
        p->timeouts = *timeouts;
        return TRUE;
    });
}

const MONITOR kHostPortMonitor = {
    EnumPorts,
    OpenPort,
    nullptr, // pfnOpenPortEx belongs to language monitors
    StartDocPort,
    WritePort,
    ReadPort,
    EndDocPort,
    ClosePort,
    NoPortAdministration, // pfnAddPort
    AddPortEx,
    NoPortAdministration, // pfnConfigurePort
    NoPortAdministration, // pfnDeletePort
    GetPrinterDataFromPort,
    SetPortTimeOuts,
    nullptr,
    nullptr,
    nullptr,
};

} // namespace

extern "C" const MONITOR* HostPortMonitor(void) { return &kHostPortMonitor; }
