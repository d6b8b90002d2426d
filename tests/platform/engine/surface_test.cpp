// Engine bitmaps: geometry, initial contents, refusals, locking, deletion and association.
#include <cstring>

#include "engine_test_support.h"
#include "host/testing.h"

namespace {

struct Geometry {
    LONG width;
    LONG expectedDelta;
};

class BitmapGeometry : public ::testing::TestWithParam<Geometry> {};

TEST_P(BitmapGeometry, ScanLinesAreThreeBytesPerPixelRoundedUpToFour) {
    Geometry g = GetParam();
    TestBitmap bitmap(g.width, 7, BMF_24BPP, BMF_TOPDOWN | BMF_NOZEROINIT);
    ASSERT_NE(bitmap.get(), nullptr);
    EXPECT_EQ(bitmap->lDelta, g.expectedDelta);
    EXPECT_EQ(bitmap->cjBits, static_cast<ULONG>(g.expectedDelta * 7));
    EXPECT_EQ(bitmap->pvScan0, bitmap->pvBits);
    EXPECT_EQ(bitmap->sizlBitmap.cx, g.width);
    EXPECT_EQ(bitmap->sizlBitmap.cy, 7);
    EXPECT_EQ(bitmap->iBitmapFormat, static_cast<ULONG>(BMF_24BPP));
    EXPECT_EQ(bitmap->iType, STYPE_BITMAP);
    EXPECT_EQ(bitmap->hsurf, bitmap.handle());
    EXPECT_EQ(bitmap->dhpdev, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Widths, BitmapGeometry,
                         ::testing::Values(Geometry{1, 4}, Geometry{2, 8}, Geometry{3, 12}, Geometry{4, 12},
                                           Geometry{5, 16}, Geometry{576, 1728}, Geometry{1420, 4260}));

TEST(Bitmap, BottomUpStartsWithItsLastScanLine) {
    TestBitmap bitmap(5, 3, BMF_24BPP, 0);
    ASSERT_NE(bitmap.get(), nullptr);
    EXPECT_EQ(bitmap->lDelta, -16);
    EXPECT_EQ(bitmap->pvScan0, static_cast<BYTE*>(bitmap->pvBits) + 32);
}

TEST(Bitmap, IsZeroedUnlessAskedNotTo) {
    TestBitmap bitmap(9, 4);
    ASSERT_NE(bitmap.get(), nullptr);
    std::vector<BYTE> zeros(bitmap->cjBits, 0);
    EXPECT_EQ(std::memcmp(bitmap->pvBits, zeros.data(), zeros.size()), 0);
}

TEST(Bitmap, OtherFormatsHaveTheirOwnScanLineWidths) {
    EXPECT_EQ(TestBitmap(33, 1, BMF_1BPP)->lDelta, 8);
    EXPECT_EQ(TestBitmap(9, 1, BMF_4BPP)->lDelta, 8);
    EXPECT_EQ(TestBitmap(5, 1, BMF_8BPP)->lDelta, 8);
    EXPECT_EQ(TestBitmap(3, 1, BMF_16BPP)->lDelta, 8);
    EXPECT_EQ(TestBitmap(3, 1, BMF_32BPP)->lDelta, 12);
}

TEST(Bitmap, WrapsTheCallersPixelsWithTheirScanLineWidth) {
    std::vector<BYTE> pixels(20 * 3, 0x55);
    HSURF handle = reinterpret_cast<HSURF>(EngCreateBitmap({4, 3}, 20, BMF_24BPP, BMF_TOPDOWN, pixels.data()));
    ASSERT_NE(handle, nullptr);
    SURFOBJ* obj = EngLockSurface(handle);
    EXPECT_EQ(obj->pvBits, pixels.data());
    EXPECT_EQ(obj->lDelta, 20);
    EXPECT_EQ(obj->cjBits, 60u);
    EngUnlockSurface(obj);
    EXPECT_TRUE(EngDeleteSurface(handle));
    EXPECT_EQ(pixels[0], 0x55); // the caller's pixels stay the caller's
}

TEST(Bitmap, RefusesWhatCannotBeMade) {
    struct Case {
        SIZEL size;
        LONG width;
        ULONG format;
        void* bits;
        DWORD error;
    };
    BYTE some[64];
    const Case cases[] = {
        {{0, 10}, 0, BMF_24BPP, nullptr, ERROR_INVALID_PARAMETER},
        {{10, -1}, 0, BMF_24BPP, nullptr, ERROR_INVALID_PARAMETER},
        {{10, 10}, 0, 99, nullptr, ERROR_INVALID_PARAMETER},
        {{10, 2}, 29, BMF_24BPP, some, ERROR_INVALID_PARAMETER}, // the caller's scan lines are too short
        {{0x7FFFFFFF, 0x7FFFFFFF}, 0, BMF_24BPP, nullptr, ERROR_NOT_ENOUGH_MEMORY},
        {{100000, 100000}, 0, BMF_24BPP, nullptr, ERROR_NOT_ENOUGH_MEMORY},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(EngCreateBitmap(c.size, c.width, c.format, BMF_TOPDOWN, c.bits), nullptr)
            << c.size.cx << " x " << c.size.cy;
        EXPECT_EQ(GetLastError(), c.error) << c.size.cx << " x " << c.size.cy;
    }
    EXPECT_EQ(HostEngineLiveObjects().surfaces, 0);
}

TEST(Bitmap, AnInjectedAllocationFailureFailsTheBitmap) {
    HostFailAllocation(1);
    SetLastError(0);
    EXPECT_EQ(EngCreateBitmap({8, 8}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    HostFailAllocation(0);
    EXPECT_EQ(HostEngineLiveObjects().surfaces, 0);
}

TEST(Surface, DeletedTwiceFailsTheSecondTime) {
    HSURF handle = reinterpret_cast<HSURF>(EngCreateBitmap({2, 2}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr));
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(EngDeleteSurface(handle));
    SetLastError(0);
    EXPECT_FALSE(EngDeleteSurface(handle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(EngLockSurface(handle), nullptr);
    EXPECT_FALSE(EngMarkBandingSurface(handle));
}

TEST(Surface, DeletedWhileLockedStaysUntilUnlocked) {
    HSURF handle = reinterpret_cast<HSURF>(EngCreateBitmap({4, 4}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr));
    SURFOBJ* first = EngLockSurface(handle);
    SURFOBJ* second = EngLockSurface(handle);
    ASSERT_EQ(first, second);
    EXPECT_TRUE(EngDeleteSurface(handle));
    EXPECT_EQ(EngLockSurface(handle), nullptr); // gone for everyone new
    RECTL all{0, 0, 4, 4};
    EXPECT_TRUE(EngEraseSurface(first, &all, 0x123456)); // still usable by its holder
    EngUnlockSurface(first);
    EXPECT_EQ(HostEngineLiveObjects().surfaces, 1);
    EngUnlockSurface(second);
    EXPECT_EQ(HostEngineLiveObjects().surfaces, 0);
}

TEST(Surface, AnUnlockTooManyChangesNothing) {
    HSURF handle = reinterpret_cast<HSURF>(EngCreateBitmap({4, 4}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr));
    SURFOBJ* obj = EngLockSurface(handle);
    EngUnlockSurface(obj);
    EngUnlockSurface(obj);
    SURFOBJ copy = *obj;
    EngUnlockSurface(&copy); // not a SURFOBJ the engine handed out
    EXPECT_TRUE(EngDeleteSurface(handle));
    EXPECT_EQ(HostEngineLiveObjects().surfaces, 0); // no lock was left to keep it
}

TEST(Surface, AssociationCarriesTheDevicesPdev) {
    TestBitmap bitmap(8, 8);
    HDEV device = HostEngineCreateDevice();
    int instance = 0;
    DHPDEV pdev = reinterpret_cast<DHPDEV>(&instance);
    ASSERT_TRUE(HostEngineSetDevicePdev(device, pdev));
    EXPECT_TRUE(EngMarkBandingSurface(bitmap.handle()));
    EXPECT_TRUE(EngAssociateSurface(bitmap.handle(), device, 0));
    EXPECT_EQ(bitmap->hdev, device);
    EXPECT_EQ(bitmap->dhpdev, pdev);
    EXPECT_TRUE(HostEngineDeleteDevice(device));
}

TEST(Surface, AssociationWithAnUnknownDeviceFailsAndChangesNothing) {
    TestBitmap bitmap(8, 8);
    HDEV device = HostEngineCreateDevice();
    ASSERT_TRUE(HostEngineDeleteDevice(device));
    SetLastError(0);
    EXPECT_FALSE(EngAssociateSurface(bitmap.handle(), device, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(bitmap->hdev, nullptr);
    EXPECT_FALSE(HostEngineDeleteDevice(device));
    EXPECT_FALSE(HostEngineSetDevicePdev(device, nullptr));
}

TEST(Surface, HandlesOfOneKindMeanNothingToAnother) {
    HPALETTE palette = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
    ASSERT_NE(palette, nullptr);
    EXPECT_FALSE(EngDeleteSurface(reinterpret_cast<HSURF>(palette)));
    EXPECT_TRUE(EngDeletePalette(palette));
    EXPECT_FALSE(EngDeletePalette(palette));
}

TEST(Palette, ModesNeedWhatTheyDescribe) {
    ULONG colors[2] = {0, 0xFFFFFF};
    HPALETTE indexed = EngCreatePalette(PAL_INDEXED, 2, colors, 0, 0, 0);
    HPALETTE fields = EngCreatePalette(PAL_BITFIELDS, 0, nullptr, 0xFF0000, 0xFF00, 0xFF);
    HPALETTE bgr = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
    EXPECT_NE(indexed, nullptr);
    EXPECT_NE(fields, nullptr);
    EXPECT_NE(bgr, nullptr);
    EXPECT_EQ(HostEngineLiveObjects().palettes, 3);
    for (HPALETTE p : {indexed, fields, bgr}) EXPECT_TRUE(EngDeletePalette(p));

    EXPECT_EQ(EngCreatePalette(PAL_INDEXED, 0, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(EngCreatePalette(PAL_BITFIELDS, 0, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(EngCreatePalette(0x80, 0, nullptr, 0, 0, 0), nullptr);
    HostFailAllocation(1);
    EXPECT_EQ(EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0), nullptr);
    HostFailAllocation(0);
    EXPECT_EQ(HostEngineLiveObjects().palettes, 0);
}

TEST(Memory, BlocksAreCountedZeroedOnRequestAndFailOnInjection) {
    long before = HostEngineLiveObjects().memoryBlocks;
    auto* block = static_cast<BYTE*>(EngAllocMem(FL_ZERO_MEMORY, 32, 0));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(block[i], 0);
    EXPECT_EQ(HostEngineLiveObjects().memoryBlocks, before + 1);
    EngFreeMem(block);
    EngFreeMem(nullptr);
    EXPECT_EQ(HostEngineLiveObjects().memoryBlocks, before);
    HostFailAllocation(1);
    EXPECT_EQ(EngAllocMem(0, 16, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

} // namespace
