// Block list allocation from the process heap.
#include "block_list.h"

BLOCK_LIST* CreateBlockList() {
    return static_cast<BLOCK_LIST*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(BLOCK_LIST)));
}

void* AllocateBlock(BLOCK_LIST* list, size_t bytes) {
    if (list == nullptr || bytes > SIZE_MAX - sizeof(BLOCK_LINK)) {
        return nullptr;
    }
    auto* block = static_cast<BLOCK_LINK*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(BLOCK_LINK) + bytes));
    if (block == nullptr) {
        return nullptr;
    }
    block->pNext = list->pFirst;
    list->pFirst = block;
    return block + 1;
}

void FreeBlockList(BLOCK_LIST* list) {
    if (list == nullptr) {
        return;
    }
    for (BLOCK_LINK* block = list->pFirst; block != nullptr;) {
        BLOCK_LINK* next = block->pNext;
        HeapFree(GetProcessHeap(), 0, block);
        block = next;
    }
    HeapFree(GetProcessHeap(), 0, list);
}
