// The engine's drawing on 24-bit surfaces: erase, copies, fills, stretches and lines, with clipping.
#include "engine_test_support.h"

namespace {

constexpr ULONG kBlack = 0x000000, kWhite = 0xFFFFFF;

CLIPOBJ RectClip(LONG left, LONG top, LONG right, LONG bottom) {
    CLIPOBJ clip{};
    clip.iDComplexity = DC_RECT;
    clip.rclBounds = {left, top, right, bottom};
    return clip;
}

TEST(Erase, FillsTheRectangleClippedToTheSurface) {
    TestBitmap bitmap(6, 4);
    bitmap.Fill(kWhite);
    RECTL rect{4, -3, 100, 2};
    ASSERT_TRUE(EngEraseSurface(bitmap.get(), &rect, kBlack));
    EXPECT_EQ(bitmap.Picture(), Rows({"....##", "....##", "......", "......"}));
}

TEST(Erase, StoresTheColourLowByteFirst) {
    TestBitmap bitmap(2, 1);
    RECTL rect{1, 0, 2, 1};
    ASSERT_TRUE(EngEraseSurface(bitmap.get(), &rect, 0x00AABBCC));
    const BYTE* p = static_cast<const BYTE*>(bitmap->pvScan0);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[3], 0xCC);
    EXPECT_EQ(p[4], 0xBB);
    EXPECT_EQ(p[5], 0xAA);
}

TEST(Erase, AnInvertedOrOutsideRectangleErasesNothing) {
    TestBitmap bitmap(3, 3);
    bitmap.Fill(kWhite);
    RECTL inverted{2, 2, 0, 0}, outside{5, 5, 9, 9}, farAway{-2000000000, 0, -1999999999, 1};
    EXPECT_TRUE(EngEraseSurface(bitmap.get(), &inverted, kBlack));
    EXPECT_TRUE(EngEraseSurface(bitmap.get(), &outside, kBlack));
    EXPECT_TRUE(EngEraseSurface(bitmap.get(), &farAway, kBlack));
    EXPECT_EQ(bitmap.Picture(), Rows({"...", "...", "..."}));
    EXPECT_FALSE(EngEraseSurface(bitmap.get(), nullptr, kBlack));
    EXPECT_FALSE(EngEraseSurface(nullptr, &outside, kBlack));
}

TEST(Erase, OneBitSurfacesSetBitsLeftmostFirst) {
    TestBitmap bitmap(12, 1, BMF_1BPP);
    RECTL rect{1, 0, 10, 1};
    ASSERT_TRUE(EngEraseSurface(bitmap.get(), &rect, 1));
    const BYTE* p = static_cast<const BYTE*>(bitmap->pvScan0);
    EXPECT_EQ(p[0], 0x7F);
    EXPECT_EQ(p[1], 0xC0);
}

TEST(Erase, BottomUpSurfacesKeepTheirTopRowOnTop) {
    TestBitmap bitmap(2, 2, BMF_24BPP, 0);
    bitmap.Fill(kWhite);
    RECTL top{0, 0, 2, 1};
    ASSERT_TRUE(EngEraseSurface(bitmap.get(), &top, kBlack));
    const BYTE* memoryFirstRow = static_cast<const BYTE*>(bitmap->pvBits);
    EXPECT_EQ(memoryFirstRow[0], 0xFF); // the bottom row comes first in memory
    EXPECT_EQ(bitmap.Picture(), Rows({"##", ".."}));
}

class Copy : public ::testing::Test {
protected:
    // A 4 x 3 source: black where the pattern says so.
    Copy() : source(4, 3), target(6, 5) {
        source.Fill(kWhite);
        source.SetPixel(0, 0, kBlack);
        source.SetPixel(3, 0, kBlack);
        source.SetPixel(1, 1, kBlack);
        source.SetPixel(2, 2, kBlack);
        target.Fill(kWhite);
    }
    TestBitmap source, target;
};

TEST_F(Copy, PlacesTheSourceAtTheTargetRectangle) {
    RECTL rect{1, 1, 5, 4};
    POINTL from{0, 0};
    ASSERT_TRUE(EngCopyBits(target.get(), source.get(), nullptr, nullptr, &rect, &from));
    EXPECT_EQ(target.Picture(), Rows({"......", ".#..#.", "..#...", "...#..", "......"}));
}

TEST_F(Copy, IsClippedByTheClipAndTheSurface) {
    RECTL rect{3, -1, 7, 2};
    POINTL from{0, 0};
    CLIPOBJ clip = RectClip(0, 0, 5, 5);
    ASSERT_TRUE(EngCopyBits(target.get(), source.get(), &clip, nullptr, &rect, &from));
    // Row -1 held source row 0 and is off the surface; column 5 is outside the clip.
    EXPECT_EQ(target.Picture(), Rows({"....#.", "......", "......", "......", "......"}));
}

TEST_F(Copy, TakesNothingFromOutsideTheSource) {
    RECTL rect{0, 0, 6, 5};
    POINTL from{2, 1};
    ASSERT_TRUE(EngCopyBits(target.get(), source.get(), nullptr, nullptr, &rect, &from));
    // Only the source's 2 x 2 lower-right corner exists to be copied.
    EXPECT_EQ(target.Picture(), Rows({"......", "#.....", "......", "......", "......"}));
}

TEST_F(Copy, ATrivialClipIsNoClip) {
    RECTL rect{0, 0, 4, 3};
    POINTL from{0, 0};
    CLIPOBJ clip{};
    clip.iDComplexity = DC_TRIVIAL;
    clip.rclBounds = {0, 0, 1, 1};
    ASSERT_TRUE(EngCopyBits(target.get(), source.get(), &clip, nullptr, &rect, &from));
    EXPECT_EQ(target.Pixel(3, 0), kBlack);
}

TEST_F(Copy, WithinOneSurfaceOverlappingAreasMoveIntact) {
    RECTL down{0, 1, 4, 4};
    POINTL from{0, 0};
    ASSERT_TRUE(EngCopyBits(source.get(), source.get(), nullptr, nullptr, &down, &from));
    EXPECT_EQ(source.Picture(), Rows({"#..#", "#..#", ".#.."}));
}

TEST_F(Copy, RefusesMixedFormatsAndMissingArguments) {
    TestBitmap other(4, 3, BMF_32BPP);
    RECTL rect{0, 0, 4, 3};
    POINTL from{0, 0};
    SetLastError(0);
    EXPECT_FALSE(EngCopyBits(target.get(), other.get(), nullptr, nullptr, &rect, &from));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(EngCopyBits(target.get(), source.get(), nullptr, nullptr, nullptr, &from));
    EXPECT_FALSE(EngCopyBits(target.get(), source.get(), nullptr, nullptr, &rect, nullptr));
}

TEST_F(Copy, BitBltCopiesWithSrccopyAndFillsWithASolidBrush) {
    RECTL rect{1, 1, 5, 4};
    POINTL from{0, 0};
    ASSERT_TRUE(EngBitBlt(target.get(), source.get(), nullptr, nullptr, nullptr, &rect, &from, nullptr, nullptr,
                          nullptr, HOST_ROP4_SRCCOPY));
    EXPECT_EQ(target.Pixel(1, 1), kBlack);

    BRUSHOBJ brush{};
    brush.iSolidColor = 0x0000FF;
    RECTL fill{0, 3, 10, 10};
    CLIPOBJ clip = RectClip(0, 0, 3, 5);
    ASSERT_TRUE(EngBitBlt(target.get(), nullptr, nullptr, &clip, nullptr, &fill, nullptr, nullptr, &brush, nullptr,
                          HOST_ROP4_PATCOPY));
    EXPECT_EQ(target.Pixel(2, 4), 0x0000FFu);
    EXPECT_EQ(target.Pixel(3, 4), kWhite);

    RECTL whole{0, 0, 6, 5};
    ASSERT_TRUE(EngBitBlt(target.get(), nullptr, nullptr, nullptr, nullptr, &whole, nullptr, nullptr, nullptr, nullptr,
                          HOST_ROP4_WHITENESS));
    EXPECT_EQ(target.Picture(), Rows({"......", "......", "......", "......", "......"}));
}

TEST_F(Copy, BitBltRefusesWhatItCannotDo) {
    RECTL rect{0, 0, 2, 2};
    BRUSHOBJ pattern{};
    pattern.iSolidColor = 0xFFFFFFFF;
    SetLastError(0);
    EXPECT_FALSE(EngBitBlt(target.get(), nullptr, nullptr, nullptr, nullptr, &rect, nullptr, nullptr, &pattern, nullptr,
                           HOST_ROP4_PATCOPY));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(EngBitBlt(target.get(), source.get(), nullptr, nullptr, nullptr, &rect, nullptr, nullptr, nullptr,
                           nullptr, 0x6666)); // SRCINVERT
    EXPECT_FALSE(EngBitBlt(target.get(), nullptr, nullptr, nullptr, nullptr, &rect, nullptr, nullptr, nullptr, nullptr,
                           HOST_ROP4_PATCOPY));
}

TEST(Stretch, DoublingRepeatsEveryPixel) {
    TestBitmap source(2, 2), target(4, 4);
    source.Fill(kWhite);
    source.SetPixel(0, 0, kBlack);
    source.SetPixel(1, 1, kBlack);
    RECTL to{0, 0, 4, 4}, from{0, 0, 2, 2};
    for (ULONG mode : {COLORONCOLOR, HALFTONE}) {
        target.Fill(0x808080);
        ASSERT_TRUE(EngStretchBlt(target.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr, &to, &from,
                                  nullptr, mode));
        EXPECT_EQ(target.Picture(), Rows({"##..", "##..", "..##", "..##"})) << "mode " << mode;
    }
}

TEST(Stretch, HalftoneAveragesTheBlockThatFallsOnEachPixel) {
    TestBitmap source(4, 2), target(2, 1);
    source.Fill(kWhite);
    source.SetPixel(0, 0, kBlack); // left block: one black of four
    source.SetPixel(2, 0, kBlack); // right block: three black of four
    source.SetPixel(3, 0, kBlack);
    source.SetPixel(2, 1, kBlack);
    RECTL to{0, 0, 2, 1}, from{0, 0, 4, 2};
    ASSERT_TRUE(EngStretchBlt(target.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr, &to, &from,
                              nullptr, HALFTONE));
    EXPECT_EQ(target.Pixel(0, 0), 0xBFBFBFu); // 765 / 4 = 191.25
    EXPECT_EQ(target.Pixel(1, 0), 0x404040u); // 255 / 4 = 63.75
    ASSERT_TRUE(EngStretchBlt(target.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr, &to, &from,
                              nullptr, COLORONCOLOR));
    // Nearest to the centres (1, 1) and (3, 1).
    EXPECT_EQ(target.Picture(), Rows({".."}));
}

TEST(Stretch, AnInvertedTargetMirrors) {
    TestBitmap source(3, 1), target(3, 1);
    source.Fill(kWhite);
    source.SetPixel(0, 0, kBlack);
    RECTL mirrored{3, 0, 0, 1}, from{0, 0, 3, 1};
    ASSERT_TRUE(EngStretchBlt(target.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr, &mirrored, &from,
                              nullptr, COLORONCOLOR));
    EXPECT_EQ(target.Picture(), Rows({"..#"}));
}

TEST(Stretch, IsClippedAndRefusesASourceRectangleOffTheSource) {
    TestBitmap source(2, 2), target(4, 4);
    source.Fill(kBlack);
    target.Fill(kWhite);
    RECTL to{0, 0, 8, 8}, from{0, 0, 2, 2};
    CLIPOBJ clip = RectClip(1, 1, 3, 3);
    ASSERT_TRUE(EngStretchBlt(target.get(), source.get(), nullptr, &clip, nullptr, nullptr, nullptr, &to, &from,
                              nullptr, HALFTONE));
    EXPECT_EQ(target.Picture(), Rows({"....", ".##.", ".##.", "...."}));
    RECTL beyond{0, 0, 3, 2};
    SetLastError(0);
    EXPECT_FALSE(EngStretchBlt(target.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr, &to, &beyond,
                               nullptr, HALFTONE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Stretch, ShrinkingAPageWideRowKeepsItsEnds) {
    TestBitmap source(1000, 1), target(576, 1);
    source.Fill(kWhite);
    source.SetPixel(0, 0, kBlack);
    source.SetPixel(999, 0, kBlack);
    RECTL to{0, 0, 576, 1}, from{0, 0, 1000, 1};
    ASSERT_TRUE(EngStretchBlt(target.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr, &to, &from,
                              nullptr, COLORONCOLOR));
    EXPECT_EQ(target.Pixel(0, 0), kBlack);
    EXPECT_EQ(target.Pixel(575, 0), kBlack);
    EXPECT_EQ(target.Pixel(288, 0), kWhite);
}

TEST(Line, RunsFromTheFirstPointUpToButNotIncludingTheLast) {
    TestBitmap bitmap(5, 4);
    bitmap.Fill(kWhite);
    BRUSHOBJ brush{};
    brush.iSolidColor = kBlack;
    ASSERT_TRUE(EngLineTo(bitmap.get(), nullptr, &brush, 0, 0, 4, 0, nullptr, R2_COPYPEN));
    ASSERT_TRUE(EngLineTo(bitmap.get(), nullptr, &brush, 4, 3, 1, 0, nullptr, R2_COPYPEN));
    EXPECT_EQ(bitmap.Picture(), Rows({"####.", "..#..", "...#.", "....#"}));
}

TEST(Line, FarOffEndPointsDrawOnlyTheVisiblePart) {
    TestBitmap bitmap(4, 3);
    bitmap.Fill(kWhite);
    BRUSHOBJ brush{};
    brush.iSolidColor = kBlack;
    CLIPOBJ clip = RectClip(1, 0, 3, 3);
    ASSERT_TRUE(EngLineTo(bitmap.get(), &clip, &brush, -2000000000, 1, 2000000000, 1, nullptr, R2_COPYPEN));
    EXPECT_EQ(bitmap.Picture(), Rows({"....", ".##.", "...."}));
}

TEST(Line, MixesOtherThanCopyPenBlackWhiteAndNopAreRefused) {
    TestBitmap bitmap(3, 1);
    bitmap.Fill(kWhite);
    EXPECT_TRUE(EngLineTo(bitmap.get(), nullptr, nullptr, 0, 0, 2, 0, nullptr, R2_BLACK));
    EXPECT_TRUE(EngLineTo(bitmap.get(), nullptr, nullptr, 0, 0, 3, 0, nullptr, R2_NOP));
    EXPECT_EQ(bitmap.Picture(), Rows({"##."}));
    EXPECT_FALSE(EngLineTo(bitmap.get(), nullptr, nullptr, 0, 0, 2, 0, nullptr, 6 /* R2_XORPEN */));
    EXPECT_FALSE(EngLineTo(bitmap.get(), nullptr, nullptr, 0, 0, 2, 0, nullptr, R2_COPYPEN)); // no brush
}

TEST(PathsAndText, SucceedWithoutGlyphsOrOutlinesAndPaintTheOpaqueBackground) {
    TestBitmap bitmap(4, 2);
    bitmap.Fill(kWhite);
    PATHOBJ path{};
    STROBJ text{};
    EXPECT_TRUE(EngStrokePath(bitmap.get(), &path, nullptr, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN));
    EXPECT_TRUE(EngFillPath(bitmap.get(), &path, nullptr, nullptr, nullptr, R2_COPYPEN, 0));
    EXPECT_TRUE(
        EngStrokeAndFillPath(bitmap.get(), &path, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN, 0));
    EXPECT_FALSE(EngFillPath(bitmap.get(), nullptr, nullptr, nullptr, nullptr, R2_COPYPEN, 0));
    BRUSHOBJ opaque{};
    opaque.iSolidColor = kBlack;
    RECTL background{1, 0, 3, 1};
    EXPECT_TRUE(
        EngTextOut(bitmap.get(), &text, nullptr, nullptr, nullptr, &background, nullptr, &opaque, nullptr, R2_COPYPEN));
    EXPECT_EQ(bitmap.Picture(), Rows({".##.", "...."}));
}

} // namespace
