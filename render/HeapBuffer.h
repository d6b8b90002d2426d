// Memory of the rendering driver: blocks from the process heap, owned by a unique_ptr that gives them back.
#pragma once

#include <cstddef>
#include <memory>

#include "platform.h"

struct HeapFreeDeleter {
    void operator()(void* block) const {
        if (block != nullptr) {
            HeapFree(GetProcessHeap(), 0, block);
        }
    }
};

using HeapBuffer = std::unique_ptr<BYTE[], HeapFreeDeleter>;

// A zero-filled block of `bytes` bytes, or empty when the heap refuses it.
inline HeapBuffer AllocateZeroed(size_t bytes) {
    return HeapBuffer(static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes)));
}

// A block whose contents the caller fills completely, or empty when the heap refuses it.
inline HeapBuffer AllocateUninitialised(size_t bytes) {
    return HeapBuffer(static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, bytes)));
}
