// The order of the two stores, seen through a recording stand-in for the spooler's SetPrinterDataW:
// this program's own definition takes the place of the host's for everything linked into it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printer_settings_record.h"

namespace {

struct StoreCall {
    std::u16string name;
    DWORD type;
    std::vector<uint8_t> bytes;
};

std::vector<StoreCall> calls;
std::u16string failingName;

} // namespace

extern "C" DWORD SetPrinterDataW(HANDLE, LPWSTR valueName, DWORD type, LPBYTE data, DWORD size) {
    calls.push_back({valueName, type, std::vector<uint8_t>(data, data + size)});
    return calls.back().name == failingName ? static_cast<DWORD>(ERROR_ACCESS_DENIED) : ERROR_SUCCESS;
}

namespace {

class SettingsRecordWriteOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        failingName.clear();
        record.psColorSetting = 1;
    }
    PRINTER_SETTINGS_RECORD record = DefaultSettingsRecord();
    HANDLE printer = reinterpret_cast<HANDLE>(0x1234);
};

TEST_F(SettingsRecordWriteOrderTest, SizeFirstThenTheRecord) {
    EXPECT_TRUE(WriteSettingsRecord(printer, &record));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, u"PrinterDataSize");
    EXPECT_EQ(calls[0].type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(calls[0].bytes, (std::vector<uint8_t>{0xF0, 0, 0, 0}));
    EXPECT_EQ(calls[1].name, u"PrinterData");
    EXPECT_EQ(calls[1].type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(calls[1].bytes.size(), 240u);
    EXPECT_EQ(calls[1].bytes[234], 1);
}

TEST_F(SettingsRecordWriteOrderTest, RecordIsNotStoredWhenTheSizeCouldNotBe) {
    failingName = u"PrinterDataSize";
    EXPECT_FALSE(WriteSettingsRecord(printer, &record));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].name, u"PrinterDataSize");
}

TEST_F(SettingsRecordWriteOrderTest, FailedRecordStoreIsReported) {
    failingName = u"PrinterData";
    EXPECT_FALSE(WriteSettingsRecord(printer, &record));
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_FALSE(WriteSettingsRecord(printer, nullptr));
    EXPECT_EQ(calls.size(), 2u);
}

} // namespace
