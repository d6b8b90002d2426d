// The heap: zeroed blocks, the count of blocks in use, and injected allocation failures.
#include "host_fixture.h"

namespace {

using HeapTest = HostTest;

TEST_F(HeapTest, ZeroMemoryAndBalancedCount) {
    const long before = HostHeapBlocksInUse();
    auto* block = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 64));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(block[i], 0);
    HANDLE local = LocalAlloc(LPTR, 8);
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(HostHeapBlocksInUse(), before + 2);
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, block));
    EXPECT_EQ(LocalFree(local), nullptr);
    EXPECT_EQ(HostHeapBlocksInUse(), before);
}

TEST_F(HeapTest, TheNthAllocationFailsAndOnlyThatOne) {
    HostFailAllocation(2);
    void* first = HeapAlloc(GetProcessHeap(), 0, 16);
    void* second = LocalAlloc(LMEM_FIXED, 16);
    void* third = HeapAlloc(GetProcessHeap(), 0, 16);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_NE(third, nullptr);
    HeapFree(GetProcessHeap(), 0, first);
    HeapFree(GetProcessHeap(), 0, third);
}

} // namespace
