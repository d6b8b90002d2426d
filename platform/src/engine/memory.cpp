// The engine's memory and module services. Blocks pass the host's allocation fault point like
// every heap allocation, and the engine counts the blocks in use so tests can see leaks.
#include <cstdlib>
#include <cstring>

#include "engine/internal.h"
#include <winbase.h>
#include <libloaderapi.h>
#include "kernel/internal.h"

extern "C" {

PVOID EngAllocMem(ULONG flags, ULONG bytes, ULONG /*tag*/) {
    return host::Guarded<PVOID>(nullptr, [&]() -> PVOID {
        if (host::AllocationFault().Hit()) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        // A zero-byte request still yields a block of its own.
        size_t size = bytes ? bytes : 1;
        void* block = (flags & FL_ZERO_MEMORY) ? std::calloc(1, size) : std::malloc(size);
        if (!block) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        host::eng::CountMemoryBlock(+1);
        return block;
    });
}

void EngFreeMem(PVOID block) {
    host::Guarded([&] {
        if (!block) return;
        host::eng::CountMemoryBlock(-1);
        std::free(block);
    });
}

// A driver releases a module reference it took with LoadLibraryW.
void EngFreeModule(HANDLE module) {
    host::Guarded([&] {
        if (module) FreeLibrary(static_cast<HMODULE>(module));
    });
}

} // extern "C"
