// The user-defined paper list stored with a printer.
#include <gtest/gtest.h>

#include "custom_paper_list.h"
#include "devmode_bytes.h"
#include "host_fixture.h"

namespace {

std::vector<uint8_t> BytesOfList(const CUSTOM_PAPER_LIST& list) {
    const auto* p = reinterpret_cast<const uint8_t*>(&list);
    return std::vector<uint8_t>(p, p + sizeof(list));
}

class CustomPaperListStoreTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        printer = AddTestPrinter(name);
        ASSERT_NE(printer, nullptr);
    }
    void TearDown() override {
        ClosePrinter(printer);
        HostTest::TearDown();
    }

    void Store(const std::vector<uint8_t>& bytes, DWORD type = REG_BINARY) {
        std::u16string value = u"CustomPaperList";
        std::vector<uint8_t> copy = bytes;
        ASSERT_EQ(SetPrinterDataW(printer, value.data(), type, copy.data(), static_cast<DWORD>(copy.size())),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }

    std::u16string name = u"Calvix Roll";
    HANDLE printer = nullptr;
};

TEST_F(CustomPaperListStoreTest, WrittenAs260BinaryBytesAndReadBack) {
    CUSTOM_PAPER_LIST written = BuiltInCustomPaperList();
    written.entries[2].width = 80;
    written.entries[2].length = 120;
    ASSERT_TRUE(WriteCustomPaperList(name.c_str(), &written));

    std::u16string value = u"CustomPaperList";
    DWORD type = 0;
    DWORD needed = 0;
    std::vector<uint8_t> stored(400);
    ASSERT_EQ(GetPrinterDataW(printer, value.data(), &type, stored.data(), 400, &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    stored.resize(needed);
    EXPECT_EQ(stored, BytesOfList(written));

    CUSTOM_PAPER_LIST read = BuiltInCustomPaperList();
    ASSERT_TRUE(ReadCustomPaperList(name.c_str(), &read));
    EXPECT_EQ(BytesOfList(read), BytesOfList(written));
}

TEST_F(CustomPaperListStoreTest, MissingOrUnreadableValueLeavesTheTableInForce) {
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    const auto builtIn = BytesOfList(list);
    EXPECT_FALSE(ReadCustomPaperList(name.c_str(), &list));
    EXPECT_EQ(BytesOfList(list), builtIn);

    EXPECT_FALSE(ReadCustomPaperList(u"No Such Printer", &list));
    EXPECT_FALSE(WriteCustomPaperList(u"No Such Printer", &list));
    EXPECT_FALSE(ReadCustomPaperList(nullptr, &list));

    DevmodeBytes other(260);
    other.Put32(44, 80);
    Store(other.bytes());
    HostFailPrinterDataRead(1);
    EXPECT_FALSE(ReadCustomPaperList(name.c_str(), &list));
    EXPECT_EQ(BytesOfList(list), builtIn);
}

TEST_F(CustomPaperListStoreTest, ValueOfAnotherSizeIsNotTakenInPart) {
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    const auto builtIn = BytesOfList(list);
    Store(std::vector<uint8_t>(100, 0x41));
    EXPECT_FALSE(ReadCustomPaperList(name.c_str(), &list));
    EXPECT_EQ(BytesOfList(list), builtIn);

    Store(std::vector<uint8_t>(300, 0x41));
    EXPECT_FALSE(ReadCustomPaperList(name.c_str(), &list));
    EXPECT_EQ(BytesOfList(list), builtIn);
}

TEST_F(CustomPaperListStoreTest, StoredNamesThatFillTheirFieldAreTerminated) {
    DevmodeBytes stored(260);
    for (size_t entry = 0; entry < 5; ++entry) {
        stored.PutText(52 * entry, std::u16string(22, u'X'));
        stored.Put32(52 * entry + 44, 80);
        stored.Put32(52 * entry + 48, 272);
    }
    Store(stored.bytes());
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    ASSERT_TRUE(ReadCustomPaperList(name.c_str(), &list));
    for (const USER_PAPER_ENTRY& entry : list.entries) {
        EXPECT_EQ(std::u16string(entry.name), std::u16string(21, u'X'));
        EXPECT_EQ(entry.width, 80u);
        EXPECT_EQ(entry.length, 272u);
    }
}

} // namespace
