// The "DriverLogFile" value: what switches logging on and off, and values the library must read safely.
#include "log_test.h"

namespace {

using LogSettingsTest = LogTest;

TEST_F(LogSettingsTest, EnabledAnswersTheSwitchOfAReadableValue) {
    EXPECT_TRUE(VLK_IsLogFileEnabled(printer_));
    StoreSettings(7, LOG_MAX_SIZE_1MB, LogFolderPath());
    EXPECT_TRUE(VLK_IsLogFileEnabled(printer_));
    StoreSettings(0, LOG_MAX_SIZE_1MB, LogFolderPath());
    EXPECT_FALSE(VLK_IsLogFileEnabled(printer_));
    // Create leaves the switch to the caller.
    HANDLE file = Create();
    EXPECT_NE(file, nullptr);
    EXPECT_TRUE(VKL_LogFileClose(file));

    StoreSettings(1, LOG_MAX_SIZE_1MB, LogFolderPath());
    HostFailPrinterDataRead(1);
    EXPECT_FALSE(VLK_IsLogFileEnabled(printer_));
    HostFailPrinterDataRead(1);
    EXPECT_EQ(Create(), nullptr);
    WCHAR name[] = DRIVER_LOG_FILE_VALUE;
    ASSERT_EQ(DeletePrinterDataW(printer_, name), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(VLK_IsLogFileEnabled(printer_));
    EXPECT_EQ(Create(), nullptr);
}

TEST_F(LogSettingsTest, SettingsThatSwitchFileCreationOff) {
    StoreSettings(1, 4, LogFolderPath());
    EXPECT_EQ(Create(), nullptr);
    StoreSettings(1, LOG_MAX_SIZE_1MB, u"");
    EXPECT_EQ(Create(), nullptr);
    StoreSettings(1, LOG_MAX_SIZE_1MB, LogFolderPath() + u"/missing");
    EXPECT_EQ(Create(), nullptr);
    StoreSettings(1, LOG_MAX_SIZE_1MB, LogFolderPath());
    EXPECT_EQ(Create(static_cast<LOG_MODULE>(3)), nullptr);
    EXPECT_TRUE(FileNames().empty());
}

TEST_F(LogSettingsTest, WriteWorksFromTheMostRecentlyReadSettings) {
    HANDLE file = Create();
    ASSERT_NE(file, nullptr);
    StoreSettings(1, 4, LogFolderPath());
    ASSERT_TRUE(VLK_IsLogFileEnabled(printer_));
    EXPECT_FALSE(VLK_LogWrite(file, "off now", 1));
    EXPECT_TRUE(VKL_LogFileClose(file));
    EXPECT_EQ(Content("VELTPD.log"), "");
}

TEST_F(LogSettingsTest, ValueSizesAroundTheReadBuffer) {
    std::vector<uint8_t> bytes = SettingsBytes(1, LOG_MAX_SIZE_1MB, LogFolderPath());
    bytes.resize(1056, 0xEE); // room to spare in the read buffer: the first 528 bytes count
    StoreValue(bytes);
    EXPECT_TRUE(LogLine("fits"));
    bytes.push_back(0xEE);
    StoreValue(bytes);
    EXPECT_FALSE(VLK_IsLogFileEnabled(printer_));
    EXPECT_EQ(Create(), nullptr);
    // A short value reads as zero padding: logging on, but no folder.
    StoreValue({1, 0, 0, 0, 0});
    EXPECT_TRUE(VLK_IsLogFileEnabled(printer_));
    EXPECT_EQ(Create(), nullptr);
    StoreValue({});
    EXPECT_FALSE(VLK_IsLogFileEnabled(printer_));
}

TEST_F(LogSettingsTest, FolderWithoutTerminatorIsNeverReadPastItsField) {
    // 260 characters and no zero: the reserved bytes after the field are not part of the folder.
    std::vector<uint8_t> bytes = SettingsBytes(1, LOG_MAX_SIZE_1MB, std::u16string(MAX_PATH, u'a'));
    bytes[526] = 'b';
    StoreValue(bytes);
    EXPECT_TRUE(VLK_IsLogFileEnabled(printer_));
    EXPECT_EQ(Create(), nullptr);
}

// The longest folder leaves room for the rotated name ("\VELTPD2024_03_05_10_30_00.log", 30 characters)
// and the terminator in 260 characters; one more character fails cleanly.
TEST_F(LogSettingsTest, FolderMustLeaveRoomForEveryNameOfTheFamily) {
    const std::u16string base = LogFolderPath() + u"/";
    const size_t longest = MAX_PATH - 30 - 1;
    if (base.size() + 1 > longest) GTEST_SKIP() << "temporary folder too long";
    const std::u16string folder = base + std::u16string(longest - base.size(), u'f');
    const std::u16string longer = folder + u"g";
    std::filesystem::create_directory(HostLinuxPath(folder.c_str()));
    std::filesystem::create_directory(HostLinuxPath(longer.c_str()));
    StoreSettings(1, LOG_MAX_SIZE_1MB, folder);
    EXPECT_TRUE(LogLine("at the edge"));
    StoreSettings(1, LOG_MAX_SIZE_1MB, longer);
    EXPECT_EQ(Create(), nullptr);
    StoreSettings(1, LOG_MAX_SIZE_1MB, folder);
    EXPECT_EQ(Create(LOG_MODULE_LANGUAGE_MONITOR), nullptr); // "\VELTLMON" is two characters longer
}

} // namespace
