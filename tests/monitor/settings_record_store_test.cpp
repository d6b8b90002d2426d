// The settings record stored with a printer: what counts as a record when read, and what is written.
#include <gtest/gtest.h>

#include <cstring>

#include "printer_settings_record.h"
#include "host_fixture.h"

namespace {

class SettingsRecordStoreTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        printer = AddTestPrinter(u"Calvix Roll");
        ASSERT_NE(printer, nullptr);
        blocks = HostHeapBlocksInUse();
    }
    void TearDown() override {
        EXPECT_EQ(HostHeapBlocksInUse(), blocks) << "every record read is released";
        ClosePrinter(printer);
        HostTest::TearDown();
    }

    void Store(const std::u16string& name, DWORD type, std::vector<uint8_t> bytes) {
        std::u16string value = name;
        ASSERT_EQ(SetPrinterDataW(printer, value.data(), type, bytes.data(), static_cast<DWORD>(bytes.size())),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }
    void StoreSize(DWORD size) {
        std::vector<uint8_t> bytes(4);
        std::memcpy(bytes.data(), &size, 4);
        Store(u"PrinterDataSize", REG_DWORD, bytes);
    }
    std::vector<uint8_t> Stored(const std::u16string& name, DWORD* type) {
        std::u16string value = name;
        std::vector<uint8_t> bytes(1024);
        DWORD needed = 0;
        if (GetPrinterDataW(printer, value.data(), type, bytes.data(), 1024, &needed) != ERROR_SUCCESS) {
            return {};
        }
        bytes.resize(needed);
        return bytes;
    }

    HANDLE printer = nullptr;
    long blocks = 0;
};

TEST_F(SettingsRecordStoreTest, WrittenAsSizeAndRecordThenReadBack) {
    PRINTER_SETTINGS_RECORD record = DefaultSettingsRecord();
    record.psUserSize = 3;
    record.psPrinterModel = 1;
    record.psColorSetting = 1;
    ASSERT_TRUE(WriteSettingsRecord(printer, &record));

    DWORD type = 0;
    EXPECT_EQ(Stored(u"PrinterDataSize", &type), (std::vector<uint8_t>{0xF0, 0x00, 0x00, 0x00}));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    std::vector<uint8_t> expected(240, 0);
    expected[0] = 0x02;
    expected[1] = 0x01;
    expected[2] = 0xF0;
    expected[228] = 3;
    expected[232] = 1;
    expected[234] = 1;
    EXPECT_EQ(Stored(u"PrinterData", &type), expected);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    StoredSettingsRecord read = ReadSettingsRecord(printer);
    ASSERT_TRUE(read);
    ASSERT_EQ(read.size, 240u);
    EXPECT_EQ(std::vector<uint8_t>(read.bytes.get(), read.bytes.get() + read.size), expected);
}

TEST_F(SettingsRecordStoreTest, RecordOfAnotherSizeIsReadWhenBothValuesAgree) {
    StoreSize(100);
    Store(u"PrinterData", REG_BINARY, std::vector<uint8_t>(100, 0x07));
    StoredSettingsRecord read = ReadSettingsRecord(printer);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.size, 100u);
    EXPECT_EQ(read.bytes.get()[99], 0x07);
}

TEST_F(SettingsRecordStoreTest, NoRecordWhenTheSizeIsMissingOrZero) {
    Store(u"PrinterData", REG_BINARY, std::vector<uint8_t>(240, 0));
    EXPECT_FALSE(ReadSettingsRecord(printer));
    StoreSize(0);
    EXPECT_FALSE(ReadSettingsRecord(printer));
}

TEST_F(SettingsRecordStoreTest, NoRecordWhenTheRecordDoesNotHaveExactlyThatSize) {
    StoreSize(240);
    EXPECT_FALSE(ReadSettingsRecord(printer)) << "record missing";
    Store(u"PrinterData", REG_BINARY, std::vector<uint8_t>(236, 0));
    EXPECT_FALSE(ReadSettingsRecord(printer)) << "record shorter";
    Store(u"PrinterData", REG_BINARY, std::vector<uint8_t>(244, 0));
    EXPECT_FALSE(ReadSettingsRecord(printer)) << "record longer";
}

TEST_F(SettingsRecordStoreTest, NoRecordWhenAReadOrTheAllocationFails) {
    const PRINTER_SETTINGS_RECORD record = DefaultSettingsRecord();
    ASSERT_TRUE(WriteSettingsRecord(printer, &record));
    HostFailPrinterDataRead(1);
    EXPECT_FALSE(ReadSettingsRecord(printer));
    HostFailPrinterDataRead(2);
    EXPECT_FALSE(ReadSettingsRecord(printer));
    HostFailPrinterDataRead(0);
    HostFailAllocation(1);
    EXPECT_FALSE(ReadSettingsRecord(printer));
    HostFailAllocation(0);
    EXPECT_TRUE(ReadSettingsRecord(printer));
}

TEST_F(SettingsRecordStoreTest, WritingNeedsAPrinterOpenedWithAllAccess) {
    std::u16string name = u"Calvix Roll";
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE user = nullptr;
    ASSERT_TRUE(OpenPrinterW(name.data(), &user, &defaults));
    const PRINTER_SETTINGS_RECORD record = DefaultSettingsRecord();
    EXPECT_FALSE(WriteSettingsRecord(user, &record));
    ClosePrinter(user);
    DWORD type = 0;
    EXPECT_TRUE(Stored(u"PrinterDataSize", &type).empty());
    EXPECT_TRUE(Stored(u"PrinterData", &type).empty());
}

} // namespace
