// InitializePrintMonitor and the monitor's function table.
#include "monitor_export.h"
#include "monitor_state.h"
#include "platform_owners.h"
#include "port_operations.h"

static_assert(sizeof(MONITOR) == 17 * sizeof(void*), "the port monitor's table has 17 entries");

namespace lmon {

MONITOREX gMonitorTable = {
    sizeof(MONITOR), // 68 on the 32-bit platform
    {
        nullptr,                // pfnEnumPorts
        nullptr,                // pfnOpenPort
        OpenPortEx,             // pfnOpenPortEx
        StartDocPort,           // pfnStartDocPort
        WritePort,              // pfnWritePort
        ReadPort,               // pfnReadPort
        EndDocPort,             // pfnEndDocPort
        ClosePort,              // pfnClosePort
        nullptr,                // pfnAddPort
        nullptr,                // pfnAddPortEx
        nullptr,                // pfnConfigurePort
        nullptr,                // pfnDeletePort
        GetPrinterDataFromPort, // pfnGetPrinterDataFromPort
        nullptr,                // pfnSetPortTimeOuts
        nullptr,                // pfnXcvOpenPort
        nullptr,                // pfnXcvDataPort
        nullptr,                // pfnXcvClosePort
    },
};

} // namespace lmon

LMON_EXPORT LPMONITOREX WINAPI InitializePrintMonitor(LPWSTR pRegistryRoot) {
    if (pRegistryRoot == nullptr || pRegistryRoot[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    lmon::MonitorState& m = lmon::Monitor();
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, pRegistryRoot, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                        nullptr, &opened, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    const velt::RegistryKey key(opened);
    DWORD wait = 0;
    DWORD type = 0;
    DWORD size = sizeof wait;
    if (RegQueryValueExW(key.get(), TEXT("EOJTimeout"), nullptr, &type, reinterpret_cast<LPBYTE>(&wait), &size) !=
        ERROR_SUCCESS) {
        wait = DEFAULT_END_OF_JOB_WAIT;
        if (RegSetValueExW(key.get(), TEXT("EOJTimeout"), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&wait),
                           sizeof wait) != ERROR_SUCCESS) {
            return nullptr;
        }
    }
    m.endOfJobWait.store(wait);
    m.activeWait.store(ACTIVE_WAIT);
    m.idleWait.store(IDLE_WAIT);
    return &lmon::gMonitorTable;
}
