// Glyph sets of the ANSI code page: every byte reaches one character, in runs sorted by character.
#include "engine_test_support.h"

namespace {

// The glyph handle of a character, or -1 when the set doesn't reach it.
long GlyphOf(const FD_GLYPHSET* set, WCHAR c) {
    for (ULONG r = 0; r < set->cRuns; ++r) {
        const WCRUN& run = set->awcrun[r];
        if (c >= run.wcLow && c < run.wcLow + run.cGlyphs)
            return static_cast<long>(static_cast<const HGLYPH*>(run.phg)[c - run.wcLow]);
    }
    return -1;
}

TEST(GlyphSet, AnsiCodePageReachesEveryByte) {
    long before = HostEngineLiveObjects().memoryBlocks;
    FD_GLYPHSET* set = EngComputeGlyphSet(0, 0, 256);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(HostEngineLiveObjects().memoryBlocks, before + 1); // one block, freed with EngFreeMem
    EXPECT_EQ(set->cGlyphsSupported, 256u);
    EXPECT_EQ(set->flAccel, static_cast<FLONG>(GS_8BIT_HANDLES));
    ULONG total = 0;
    for (ULONG r = 0; r < set->cRuns; ++r) {
        total += set->awcrun[r].cGlyphs;
        if (r > 0) {
            EXPECT_GT(set->awcrun[r].wcLow, set->awcrun[r - 1].wcLow + set->awcrun[r - 1].cGlyphs - 1);
        }
    }
    EXPECT_EQ(total, 256u);
    EXPECT_EQ(GlyphOf(set, u'A'), 0x41);
    EXPECT_EQ(GlyphOf(set, u'\u20AC'), 0x80); // euro sign
    EXPECT_EQ(GlyphOf(set, u'\u2122'), 0x99); // trade mark
    EXPECT_EQ(GlyphOf(set, u'\u0081'), 0x81); // undefined in the code page: its own control character
    EXPECT_EQ(GlyphOf(set, u'\u00E9'), 0xE9);
    EXPECT_EQ(GlyphOf(set, u'\u0100'), -1);
    EngFreeMem(set);
    EXPECT_EQ(HostEngineLiveObjects().memoryBlocks, before);
}

TEST(GlyphSet, ExplicitCodePage1252MatchesTheAnsiCodePage) {
    FD_GLYPHSET* ansi = EngComputeGlyphSet(0, 0, 256);
    FD_GLYPHSET* explicitly = EngComputeGlyphSet(1252, 0, 256);
    ASSERT_NE(ansi, nullptr);
    ASSERT_NE(explicitly, nullptr);
    EXPECT_EQ(ansi->cRuns, explicitly->cRuns);
    EXPECT_EQ(ansi->cjThis, explicitly->cjThis);
    EngFreeMem(ansi);
    EngFreeMem(explicitly);
}

TEST(GlyphSet, APartOfTheCodePage) {
    FD_GLYPHSET* set = EngComputeGlyphSet(1252, 0x30, 10);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->cGlyphsSupported, 10u);
    ASSERT_EQ(set->cRuns, 1u);
    EXPECT_EQ(set->awcrun[0].wcLow, u'0');
    EXPECT_EQ(GlyphOf(set, u'9'), 0x39);
    EngFreeMem(set);
}

TEST(GlyphSet, RefusesRangesBeyondTheCodePageAndUnknownCodePages) {
    long before = HostEngineLiveObjects().memoryBlocks;
    EXPECT_EQ(EngComputeGlyphSet(0, 0, 0), nullptr);
    EXPECT_EQ(EngComputeGlyphSet(0, -1, 10), nullptr);
    EXPECT_EQ(EngComputeGlyphSet(0, 200, 57), nullptr);
    EXPECT_EQ(EngComputeGlyphSet(0, 0x7FFFFFFF, 0x7FFFFFFF), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(EngComputeGlyphSet(99999, 0, 256), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(HostEngineLiveObjects().memoryBlocks, before);
}

TEST(GlyphSet, AnInjectedAllocationFailureFailsTheSet) {
    HostFailAllocation(1);
    EXPECT_EQ(EngComputeGlyphSet(0, 0, 256), nullptr);
    HostFailAllocation(0);
}

} // namespace
