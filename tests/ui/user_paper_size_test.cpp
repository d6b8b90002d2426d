#include <gtest/gtest.h>

#include "custom_paper_list.h"
#include "devmode_bytes.h"

namespace {

std::vector<uint8_t> BytesOfList(const CUSTOM_PAPER_LIST& list) {
    const auto* p = reinterpret_cast<const uint8_t*>(&list);
    return std::vector<uint8_t>(p, p + sizeof(list));
}

TEST(CustomPaperList, BuiltInTableByteForByte) {
    DevmodeBytes expected(260);
    for (size_t i = 0; i < 5; ++i) {
        const size_t entry = 52 * i;
        expected.PutText(entry, u"User Defined Size " + std::u16string(1, static_cast<char16_t>(u'1' + i)));
        expected.Put32(entry + 44, 58);
        expected.Put32(entry + 48, 50);
    }
    EXPECT_EQ(BytesOfList(BuiltInCustomPaperList()), expected.bytes());
}

class ChooseUserPaperSizeTest : public ::testing::Test {
protected:
    void SetUp() override {
        DevmodeSetDefaults(&record, nullptr);
        record.dmPublic.dmFields = DM_COPIES;
        list.entries[2].width = 80;
        list.entries[2].length = 120;
    }
    DRIVER_DEVMODE record;
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
};

TEST_F(ChooseUserPaperSizeTest, EntrySetsPaperIdSizesInTenthsAndIndex) {
    ASSERT_TRUE(ChooseUserPaperSize(&record, &list, 2));
    EXPECT_EQ(record.dmPublic.dmPaperSize, 261);
    EXPECT_EQ(record.dmPublic.dmPaperWidth, 800);
    EXPECT_EQ(record.dmPublic.dmPaperLength, 1200);
    EXPECT_EQ(record.dmUserSize, 2u);
    EXPECT_EQ(record.dmPublic.dmFields, static_cast<DWORD>(DM_COPIES | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH));

    ASSERT_TRUE(ChooseUserPaperSize(&record, &list, 4));
    EXPECT_EQ(record.dmPublic.dmPaperSize, 263);
    EXPECT_EQ(record.dmPublic.dmPaperWidth, 580);
    EXPECT_EQ(record.dmPublic.dmPaperLength, 500);
    EXPECT_EQ(record.dmUserSize, 4u);
}

TEST_F(ChooseUserPaperSizeTest, OnlyTheLow16BitsOfStoredMillimetresCount) {
    list.entries[0].width = 0x10050;     // 80 mm in its low 16 bits
    list.entries[0].length = 0xFFFF0032; // 50 mm
    ASSERT_TRUE(ChooseUserPaperSize(&record, &list, 0));
    EXPECT_EQ(record.dmPublic.dmPaperWidth, 800);
    EXPECT_EQ(record.dmPublic.dmPaperLength, 500);
}

TEST_F(ChooseUserPaperSizeTest, SizesThatDoNotFitTheRecordOrABadIndexChangeNothing) {
    const DRIVER_DEVMODE before = record;
    list.entries[1].length = 3277; // 32770 tenths: beyond a signed 16-bit field
    EXPECT_FALSE(ChooseUserPaperSize(&record, &list, 1));
    EXPECT_FALSE(ChooseUserPaperSize(&record, &list, 5));
    EXPECT_EQ(std::memcmp(&record, &before, sizeof(record)), 0);

    list.entries[1].length = 3276; // 32760 tenths still fits
    EXPECT_TRUE(ChooseUserPaperSize(&record, &list, 1));
    EXPECT_EQ(record.dmPublic.dmPaperLength, 32760);
}

} // namespace
