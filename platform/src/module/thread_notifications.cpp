// DisableThreadLibraryCalls: the host tells modules only of process attach and detach, so a module
// that asks for no thread notifications already has what it asks for.
#include "kernel/internal.h"
#include "platform.h"

extern "C" BOOL DisableThreadLibraryCalls(HMODULE module) {
    if (module == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
