// The combo-box lists (type 240), the version block and the language of every resource of VELTrc.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/resource_format.h"
#include "resource_library.h"

namespace {

constexpr WORD DLGINIT_ADDSTRING = 0x0403;
constexpr WORD LANGUAGE_US_ENGLISH = 1033;

struct ComboList {
    WORD dialog;
    WORD control;
    std::vector<std::string> items;
};

const ComboList COMBO_LISTS[] = {
    {108, 148, {"1M", "2M", "5M", "10M"}},
    {111, 122, {"58", "80"}},
    {114,
     1052,
     {"User Defined Size1", "User Defined Size2", "User Defined Size3", "User Defined Size4", "User Defined Size5"}},
};

using ResourceListsTest = ResourceLibraryTest;

TEST_F(ResourceListsTest, ComboListsHoldEveryItemWithItsZero) {
    for (const ComboList& list : COMBO_LISTS) {
        const auto entries = host::res::ParseDialogInit(Bytes(MAKEINTRESOURCEW(list.dialog), RT_DLGINIT));
        ASSERT_TRUE(entries.has_value()) << list.dialog;
        ASSERT_EQ(entries->size(), list.items.size()) << list.dialog;
        for (size_t i = 0; i < list.items.size(); ++i) {
            const host::res::DialogInitEntry& entry = (*entries)[i];
            std::vector<BYTE> text(list.items[i].begin(), list.items[i].end());
            text.push_back(0);
            EXPECT_EQ(entry.controlId, list.control) << list.dialog << " item " << i;
            EXPECT_EQ(entry.message, DLGINIT_ADDSTRING) << list.dialog << " item " << i;
            EXPECT_EQ(entry.data, text) << list.dialog << " item " << i;
        }
    }
}

TEST_F(ResourceListsTest, PaperWidthListIsExactlyTheseBytes) {
    const std::span<const BYTE> bytes = Bytes(MAKEINTRESOURCEW(111), RT_DLGINIT);
    const std::vector<BYTE> expected = {
        0x7A, 0x00, 0x03, 0x04, 0x03, 0x00, 0x00, 0x00, '5', '8', 0x00, // control 122, DLGINIT_ADDSTRING, 3, "58"
        0x7A, 0x00, 0x03, 0x04, 0x03, 0x00, 0x00, 0x00, '8', '0', 0x00, // control 122, DLGINIT_ADDSTRING, 3, "80"
        0x00, 0x00,                                                     // end of the list
    };
    EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.end()), expected);
}

TEST_F(ResourceListsTest, VersionBlockNamesTheInterfaceLibrary) {
    const auto version = host::res::ParseVersionInfo(Bytes(MAKEINTRESOURCEW(1), RT_VERSION));
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->fixed.dwSignature, host::res::VS_FFI_SIGNATURE);
    EXPECT_EQ(version->fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(version->fixed.dwFileVersionLS, 0x00000000u);
    EXPECT_EQ(version->fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(version->fixed.dwProductVersionLS, 0x00000000u);

    const std::pair<const char16_t*, const char16_t*> fixedFields[] = {
        {u"FileDescription", u"VELT Interface"}, {u"InternalName", u"VELT for Windows XP"},
        {u"OriginalFilename", u"VELTrc.dll"},    {u"FileVersion", u"1.0.0.0"},
        {u"ProductVersion", u"1.0.0.0"},
    };
    for (const auto& [key, value] : fixedFields) {
        const std::u16string* found = version->FindString(key);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(*found, value);
    }
    for (const char16_t* key : {u"CompanyName", u"ProductName", u"LegalCopyright"}) {
        const std::u16string* found = version->FindString(key);
        ASSERT_NE(found, nullptr);
        EXPECT_FALSE(found->empty());
    }
    ASSERT_EQ(version->stringTables.size(), 1u);
    EXPECT_EQ(version->stringTables[0].languageCodePage, u"040904b0");
    EXPECT_EQ(version->translations, (std::vector<DWORD>{0x04B00409}));
}

TEST(ResourceFileTest, EveryResourceIsUsEnglish) {
    std::ifstream in(VELTRC_RES_PATH, std::ios::binary);
    const std::vector<BYTE> file{std::istreambuf_iterator<char>(in), {}};
    const auto entries = host::res::ParseResourceFile(file);
    ASSERT_TRUE(entries.has_value());
    // 7 dialogs, 4 string blocks, 3 combo lists, 1 version block.
    EXPECT_EQ(entries->size(), 15u);
    for (const host::res::ResourceEntry& entry : *entries) {
        EXPECT_EQ(entry.language, LANGUAGE_US_ENGLISH);
    }
}

} // namespace
