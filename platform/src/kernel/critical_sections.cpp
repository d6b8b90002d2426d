// Critical sections: a recursive lock made at initialisation and freed at deletion; the owner and
// recursion fields are kept as the platform keeps them.
#include <cstdlib>
#include <mutex>
#include <new>

#include <synchapi.h>
#include "kernel/internal.h"

namespace {

std::recursive_mutex* LockOf(LPCRITICAL_SECTION section) {
    return static_cast<std::recursive_mutex*>(section->LockSemaphore);
}

} // namespace

extern "C" {

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    host::Guarded([&] {
        *section = CRITICAL_SECTION{};
        section->LockCount = -1;
        section->LockSemaphore = new (std::nothrow) std::recursive_mutex;
        if (!section->LockSemaphore) std::abort(); // the platform raises an exception here; nothing can go on
    });
}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    host::Guarded([&] {
        LockOf(section)->lock();
        section->OwningThread = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
        ++section->RecursionCount;
    });
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!LockOf(section)->try_lock()) return FALSE;
        section->OwningThread = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
        ++section->RecursionCount;
        return TRUE;
    });
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    host::Guarded([&] {
        if (--section->RecursionCount == 0) section->OwningThread = nullptr;
        LockOf(section)->unlock();
    });
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    host::Guarded([&] {
        delete LockOf(section);
        section->LockSemaphore = nullptr;
    });
}

} // extern "C"
