// The module's entry point: the monitor-wide lock is made when the library is attached to a process;
// the library asks for no thread notifications.
#include "monitor_export.h"
#include "monitor_state.h"

LMON_EXPORT BOOL WINAPI DllEntryPoint(HANDLE module, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        lmon::Monitor();
        DisableThreadLibraryCalls(static_cast<HMODULE>(module));
    }
    return TRUE;
}
