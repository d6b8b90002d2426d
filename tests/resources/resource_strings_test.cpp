// The string table of VELTrc, read back with LoadStringW, and LoadStringW's buffer rules.
#include <cstring>

#include "resource_library.h"

namespace {

struct StringRow {
    UINT id;
    const char16_t* text;
};

// Every row of the string table, as the configuration interface and the language monitor expect it.
const StringRow STRING_TABLE[] = {
    {102, u"User Defined Size 1"},
    {103, u"User Defined Size 2"},
    {104, u"Normal size receive buffer(4K)"},
    {105, u"User Defined Size 3"},
    {106, u"One line buffer(128 Bytes)"},
    {107, u"User Defined Size 4"},
    {108, u"80mm"},
    {109, u"User Defined Size 5"},
    {110, u"User Defined Size"},
    {111, u"58mm"},
    {112, u"Color Setting"},
    {113, u"Mono"},
    {114, u"Printer Model"},
    {115, u"Single"},
    {116, u"Dual"},
    {117, u"Current Settings"},
    {118, u"Refresh"},
    {119, u"2-Color"},
    {120, u"Edit"},
    {121, u"Enabled"},
    {122, u"Disabled"},
    {123, u"One Color Paper"},
    {124, u"Two Color Paper"},
    {125, u"Communication Error"},
    {126, u"Printing job in progress"},
    {127, u"Failed to Get Configuration"},
    {128, u"Fail to refresh screen"},
    {129, u"Fail to update printer configuration data"},
    {130, u"Invalid path"},
    {131, u"System cannot find specified path"},
    {132, u"Failed to Print Configuration"},
    {133, u"-Busy"},
    {134, u"-Out of Paper"},
    {135, u"-Door Open"},
    {136, u"-Cutter error"},
    {137, u"-Printing stopped"},
    {138, u"-Print head temp error"},
    {139, u"-Power supply error"},
    {140, u"-Print head not connected"},
    {1056, u"Check file name, directory name"},
};

using StringTableTest = ResourceLibraryTest;

TEST_F(StringTableTest, EveryStringReadsBackExactly) {
    for (const StringRow& row : STRING_TABLE) {
        const std::u16string expected = row.text;
        WCHAR buffer[128];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        EXPECT_EQ(LoadStringW(module_, row.id, buffer, 128), static_cast<int>(expected.size())) << row.id;
        EXPECT_EQ(std::u16string(buffer), expected) << row.id;

        // bufferMax 0: a pointer to the text inside the resource, which is not terminated there.
        const WCHAR* inPlace = nullptr;
        const int length = LoadStringW(module_, row.id, reinterpret_cast<LPWSTR>(&inPlace), 0);
        ASSERT_NE(inPlace, nullptr) << row.id;
        EXPECT_EQ(std::u16string(inPlace, static_cast<size_t>(length)), expected) << row.id;
    }
}

TEST_F(StringTableTest, NoOtherIdsHaveText) {
    std::vector<UINT> present;
    for (UINT id = 0; id < 1100; ++id) {
        WCHAR buffer[8];
        if (LoadStringW(module_, id, buffer, 8) > 0) {
            present.push_back(id);
        }
    }
    std::vector<UINT> expected;
    for (const StringRow& row : STRING_TABLE) {
        expected.push_back(row.id);
    }
    EXPECT_EQ(present, expected);
}

TEST_F(StringTableTest, ShortBufferTruncatesAndTerminates) {
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(LoadStringW(module_, 102, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"User");
    EXPECT_EQ(buffer[5], u'#');

    // Room for the terminator only.
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(LoadStringW(module_, 102, buffer, 1), 0);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(buffer[1], u'#');

    // Exactly the text and its terminator.
    EXPECT_EQ(LoadStringW(module_, 108, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"80mm");
}

TEST_F(StringTableTest, MissingStringsAnswerZeroAndAnEmptyBuffer) {
    // 101 shares a block with 102..111; 5000 has no block at all.
    for (UINT id : {101u, 141u, 5000u}) {
        WCHAR buffer[16] = u"stale";
        SetSentinelLastError();
        EXPECT_EQ(LoadStringW(module_, id, buffer, 16), 0) << id;
        EXPECT_EQ(buffer[0], u'\0') << id;
        EXPECT_LAST_ERROR(ERROR_RESOURCE_NAME_NOT_FOUND) << id;
    }
}

TEST_F(StringTableTest, InvalidBuffersAreRefused) {
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_EQ(LoadStringW(module_, 102, nullptr, 16), 0));
    WCHAR buffer[4] = u"abc";
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_EQ(LoadStringW(module_, 102, buffer, -1), 0));
    EXPECT_EQ(std::u16string(buffer), u"abc");
}

} // namespace
