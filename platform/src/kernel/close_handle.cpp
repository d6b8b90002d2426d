// CloseHandle closes kernel objects only: files (and events, threads). Searches, printers and
// registry keys have their own close functions; a closed or unknown handle fails cleanly.
#include <winbase.h>
#include "kernel/internal.h"

extern "C" BOOL CloseHandle(HANDLE object) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto found = host::FindHandle(object);
        if (found) {
            const host::HandleKind kind = found->Kind();
            if ((kind == host::HandleKind::File || kind == host::HandleKind::Event ||
                 kind == host::HandleKind::Thread || kind == host::HandleKind::Mutex) &&
                host::RemoveHandle(object, kind))
                return TRUE;
        }
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    });
}
