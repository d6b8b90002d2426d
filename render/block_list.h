// The per-instance block list: a list head of one pointer; each block carries a one-pointer link ahead
// of its payload. Freeing the list frees every block and then the head.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform.h"

struct BLOCK_LINK {
    BLOCK_LINK* pNext;
};

struct BLOCK_LIST {
    BLOCK_LINK* pFirst;
};

// Payloads start one pointer past their block; what lives in them may need no stricter alignment.
constexpr size_t BLOCK_PAYLOAD_ALIGNMENT = sizeof(BLOCK_LINK);

BLOCK_LIST* CreateBlockList();
// A zeroed payload of `bytes` bytes linked into the list, or none.
void* AllocateBlock(BLOCK_LIST* list, size_t bytes);
void FreeBlockList(BLOCK_LIST* list);

struct BlockListDeleter {
    void operator()(BLOCK_LIST* list) const { FreeBlockList(list); }
};
using BlockListOwner = std::unique_ptr<BLOCK_LIST, BlockListDeleter>;
