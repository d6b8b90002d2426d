#include "port_backend.h"

#include <map>
#include <mutex>
#include <set>

#include "platform.h"
#include "host/testing.h"

namespace vprinter {
namespace {

// An open port: the spooler's handle is the address of one of these.
struct OpenPortHandle {
    std::shared_ptr<VirtualPort> port;
};

struct Registry {
    std::mutex mutex;
    std::map<std::filesystem::path, std::shared_ptr<VirtualPort>> ports;
    std::set<OpenPortHandle*> open; // a closed or foreign handle is refused, not followed
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::u16string Upper(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

std::shared_ptr<VirtualPort> PortLocked(Registry& registry, const std::filesystem::path& folder) {
    std::shared_ptr<VirtualPort>& port = registry.ports[folder];
    if (!port) port = std::make_shared<VirtualPort>(folder);
    return port;
}

// The port behind a handle, or none (last error ERROR_INVALID_HANDLE).
std::shared_ptr<VirtualPort> PortOf(HANDLE handle) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto found = registry.open.find(static_cast<OpenPortHandle*>(handle));
    if (found == registry.open.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return (*found)->port;
}

// Every entry of the table catches what our code may throw: nothing crosses into the host.
template <typename Body>
BOOL Guarded(Body body) {
    try {
        return body();
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

BOOL WINAPI OpenPort(LPWSTR name, PHANDLE handle) {
    return Guarded([&]() -> BOOL {
        if (name == nullptr || handle == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        const std::u16string portName(name);
        const std::u16string prefix(VPRINTER_PORT_PREFIX);
        Registry& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        std::filesystem::path folder;
        // The folder is a platform path like a FILE: port's: a Linux path or a drive path.
        if (Upper(portName.substr(0, prefix.size())) == prefix && portName.size() > prefix.size())
            folder = HostLinuxPath(portName.c_str() + prefix.size());
        if (folder.empty()) {
            SetLastError(ERROR_INVALID_NAME);
            return FALSE;
        }
        auto open = std::make_unique<OpenPortHandle>(OpenPortHandle{PortLocked(registry, folder)});
        registry.open.insert(open.get());
        *handle = open.release();
        return TRUE;
    });
}

BOOL WINAPI ClosePort(HANDLE handle) {
    return Guarded([&]() -> BOOL {
        Registry& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        auto found = registry.open.find(static_cast<OpenPortHandle*>(handle));
        if (found == registry.open.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        std::unique_ptr<OpenPortHandle> closing(*found);
        registry.open.erase(found);
        return TRUE;
    });
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR, DWORD jobId, DWORD, LPBYTE) {
    return Guarded([&]() -> BOOL {
        std::shared_ptr<VirtualPort> port = PortOf(handle);
        if (!port) return FALSE;
        port->StartDoc(jobId);
        return TRUE;
    });
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE buffer, DWORD count, LPDWORD written) {
    return Guarded([&]() -> BOOL {
        if (written != nullptr) *written = 0;
        std::shared_ptr<VirtualPort> port = PortOf(handle);
        if (!port) return FALSE;
        if ((buffer == nullptr && count != 0) || written == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        port->Write(std::span<const uint8_t>(buffer, count));
        *written = count;
        return TRUE;
    });
}

BOOL WINAPI ReadPort(HANDLE handle, LPBYTE buffer, DWORD size, LPDWORD read) {
    return Guarded([&]() -> BOOL {
        if (read != nullptr) *read = 0;
        std::shared_ptr<VirtualPort> port = PortOf(handle);
        if (!port) return FALSE;
        if ((buffer == nullptr && size != 0) || read == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        *read = static_cast<DWORD>(port->Read(std::span<uint8_t>(buffer, size)));
        return TRUE;
    });
}

BOOL WINAPI EndDocPort(HANDLE handle) {
    return Guarded([&]() -> BOOL {
        std::shared_ptr<VirtualPort> port = PortOf(handle);
        if (!port) return FALSE;
        std::string error;
        if (!port->EndDoc(error)) {
            OutputDebugStringW(HostWide("VPRINTER: " + error + "\n").c_str());
            SetLastError(ERROR_WRITE_FAULT);
            return FALSE;
        }
        return TRUE;
    });
}

BOOL WINAPI GetPrinterDataFromPort(HANDLE handle, DWORD controlId, LPWSTR, LPWSTR in, DWORD inSize, LPWSTR out,
                                   DWORD outSize, LPDWORD returned) {
    return Guarded([&]() -> BOOL {
        if (returned != nullptr) *returned = 0;
        std::shared_ptr<VirtualPort> port = PortOf(handle);
        if (!port) return FALSE;
        if (controlId != IOCTL_USBPRINT_VENDOR_GET_COMMAND) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return FALSE;
        }
        if ((in == nullptr && inSize != 0) || (out == nullptr && outSize != 0) || returned == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        // The buffers are typed as wide strings by the table but carry bytes.
        const std::span<const uint8_t> request(reinterpret_cast<const uint8_t*>(in), inSize);
        const std::span<uint8_t> reply(reinterpret_cast<uint8_t*>(out), outSize);
        const size_t count = port->VendorCommand(request, reply);
        if (count == 0) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return FALSE;
        }
        *returned = static_cast<DWORD>(count);
        return TRUE;
    });
}

const MONITOR VIRTUAL_PRINTER_MONITOR = {
    .pfnEnumPorts = nullptr,
    .pfnOpenPort = OpenPort,
    .pfnOpenPortEx = nullptr,
    .pfnStartDocPort = StartDocPort,
    .pfnWritePort = WritePort,
    .pfnReadPort = ReadPort,
    .pfnEndDocPort = EndDocPort,
    .pfnClosePort = ClosePort,
    .pfnAddPort = nullptr,
    .pfnAddPortEx = nullptr,
    .pfnConfigurePort = nullptr,
    .pfnDeletePort = nullptr,
    .pfnGetPrinterDataFromPort = GetPrinterDataFromPort,
    .pfnSetPortTimeOuts = nullptr,
    .pfnXcvOpenPort = nullptr,
    .pfnXcvDataPort = nullptr,
    .pfnXcvClosePort = nullptr,
};

} // namespace

bool RegisterVirtualPrinterBackend() {
    return HostRegisterPortBackend(VPRINTER_PORT_PREFIX, &VIRTUAL_PRINTER_MONITOR) != FALSE;
}

bool AttachVirtualPrinter(const std::u16string& portName, const std::filesystem::path& folder) {
    if (portName.empty() || folder.empty() || !RegisterVirtualPrinterBackend()) return false;
    const std::u16string target = VPRINTER_PORT_PREFIX + HostWide(folder.string());
    return HostAttachPort(portName.c_str(), target.c_str()) != FALSE;
}

std::shared_ptr<VirtualPort> VirtualPortOf(const std::filesystem::path& folder) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return PortLocked(registry, folder);
}

} // namespace vprinter
