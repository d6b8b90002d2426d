// The module's entry point: the monitor-wide lock is made when the library is attached to a process
// and deleted when the library is freed (reserved is null then; at process end it is left alone, as
// the status workers may still hold it); the library asks for no thread notifications.
#include "monitor_export.h"
#include "monitor_state.h"

namespace {

// The lock was deleted at a free that left the module's memory in place: the next attach makes it again.
bool lockDeleted = false;

} // namespace

LMON_EXPORT BOOL WINAPI DllEntryPoint(HANDLE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        lmon::MonitorState& monitor = lmon::Monitor();
        if (lockDeleted) InitializeCriticalSection(&monitor.lock);
        lockDeleted = false;
        DisableThreadLibraryCalls(static_cast<HMODULE>(module));
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        DeleteCriticalSection(&lmon::Monitor().lock);
        lockDeleted = true;
    }
    return TRUE;
}
