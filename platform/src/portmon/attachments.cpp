// What a printer port is attached to: a port named like the platform's own (USB001, COM1, LPT1) is
// served by another port of the host (a virtual printer's "VPRINTER:<folder>", a Linux device node
// such as /dev/usb/lp0, or a file). The attachments are kept in the registry, under the key where the
// platform lists its local ports, so that every process that shares the store sees them.
#include <string>

#include <winreg.h>
#include "host/testing.h"
#include "kernel/internal.h"
#include "portmon/internal.h"

namespace host {

namespace {

constexpr char16_t kPortsKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

} // namespace

std::u16string AttachedTarget(std::u16string_view portName) {
    if (portName.empty()) return {};
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    const std::u16string name(portName);
    DWORD type = 0, size = 0;
    std::u16string target;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        target.assign(size / sizeof(char16_t) + 1, u'\0');
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(target.data()), &size) ==
            ERROR_SUCCESS)
            target.resize(std::u16string_view(target.c_str()).size());
        else
            target.clear();
    }
    RegCloseKey(key);
    return target;
}

} // namespace host

extern "C" BOOL HostAttachPort(LPCWSTR portName, LPCWSTR target) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        const std::u16string_view name = host::View(portName), to = host::View(target);
        // A port is not attached to itself, nor to another attached name (no chains to follow).
        if (name.empty() || host::EqualNoCase(name, to)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        HKEY key = nullptr;
        LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, host::kPortsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (rc == ERROR_SUCCESS) {
            const std::u16string value(to);
            rc = value.empty() ? RegDeleteValueW(key, portName)
                               : RegSetValueExW(key, portName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                                static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
            if (value.empty() && rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
            RegCloseKey(key);
        }
        if (rc != ERROR_SUCCESS) {
            SetLastError(static_cast<DWORD>(rc));
            return FALSE;
        }
        return TRUE;
    });
}

extern "C" BOOL HostPortAttachment(LPCWSTR portName, std::u16string* target) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        *target = host::AttachedTarget(host::View(portName));
        return !target->empty();
    });
}
