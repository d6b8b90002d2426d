// The process heap. Blocks come from malloc; every allocation passes the allocation fault point,
// and the number of blocks in use is kept so tests can see what a library left behind.
#include <atomic>
#include <cstdlib>

#include <winbase.h>
#include "host/testing.h"
#include "kernel/internal.h"

namespace {

std::atomic<long> blocksInUse{0};
int processHeap; // its address is the process heap's handle

LPVOID Allocate(SIZE_T bytes, bool zero) {
    if (host::AllocationFault().Hit()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A zero-byte request still returns a unique block, as the platform does.
    void* block = zero ? std::calloc(1, bytes ? bytes : 1) : std::malloc(bytes ? bytes : 1);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    ++blocksInUse;
    return block;
}

void Release(void* block) {
    --blocksInUse;
    std::free(block);
}

} // namespace

extern "C" {

HANDLE GetProcessHeap(void) { return &processHeap; }

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    return host::Guarded<LPVOID>(nullptr, [&]() -> LPVOID {
        if (heap != &processHeap) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        return Allocate(bytes, (flags & HEAP_ZERO_MEMORY) != 0);
    });
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID block) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (heap != &processHeap) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (block) Release(block);
        return TRUE;
    });
}

HANDLE LocalAlloc(UINT flags, SIZE_T bytes) {
    return host::Guarded<HANDLE>(nullptr, [&] { return Allocate(bytes, (flags & LMEM_ZEROINIT) != 0); });
}

HANDLE LocalFree(HANDLE block) {
    return host::Guarded<HANDLE>(block, [&]() -> HANDLE {
        if (block) Release(block);
        return nullptr;
    });
}

long HostHeapBlocksInUse(void) { return blocksInUse.load(); }

} // extern "C"
