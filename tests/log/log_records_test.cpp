// The bytes that records and headers put into a log file.
#include <thread>

#include "log_test.h"

namespace {

using LogRecordTest = LogTest;

TEST_F(LogRecordTest, FirstRecordOpensTheFileWithHeaderStampTextAndLineEnd) {
    ASSERT_TRUE(LogLine("Entering the function DrvStartPage"));
    EXPECT_EQ(Content("VELTPD.log"), kDriverHeader + kStamp + "Entering the function DrvStartPage\r\n");
    EXPECT_EQ(kDriverHeader.size() - 16, 47u); // the fullness test's allowance leaves out the version line
}

TEST_F(LogRecordTest, EachModuleWritesItsOwnFileAndHeaderLine) {
    ASSERT_TRUE(LogLine("ui", LOG_MODULE_PRINTER_UI));
    ASSERT_TRUE(LogLine("lmon", LOG_MODULE_LANGUAGE_MONITOR));
    const std::string afterLine("\0\r\nVersion: V01.02\0\r\n05.Mar.2024\r\n\r\n", 36);
    EXPECT_EQ(Content("VELTUI.log"), "Module Name: Printer UI" + afterLine + kStamp + "ui\r\n");
    // The date is shared by the modules of a process: the monitor's file gets a header because it is new.
    EXPECT_EQ(Content("VELTLMON.log"), "Module Name: Language Monitor" + afterLine + kStamp + "lmon\r\n");
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTLMON.log", "VELTUI.log"}));
}

TEST_F(LogRecordTest, HeaderComesWithANewProcessOrANewDayOnly) {
    MakeFile("VELTPD.log", 5, 'o');
    ASSERT_TRUE(LogLine("one")); // first record of this process: a header even in a file of today
    ASSERT_TRUE(LogLine("two"));
    HostAdvanceClock(14 * 3600 * 1000); // 6 March, 00:30
    ASSERT_TRUE(LogLine("three"));
    const std::string nextDay("Module Name: Printer Driver\0\r\nVersion: V01.02\0\r\n06.Mar.2024\r\n\r\n", 63);
    EXPECT_EQ(Content("VELTPD.log"), "ooooo" + kDriverHeader + kStamp + "one\r\n" + kStamp + "two\r\n" + nextDay +
                                         std::string("00:30:00.000\0three\r\n", 20));
}

TEST_F(LogRecordTest, DateAndStampFieldsAreZeroPadded) {
    SetClock(2025, 12, 1, 9, 5, 7, 42);
    ASSERT_TRUE(LogLine("x"));
    EXPECT_EQ(Content("VELTPD.log"),
              std::string("Module Name: Printer Driver\0\r\nVersion: V01.02\0\r\n01.Dec.2025\r\n\r\n"
                          "09:05:07.042\0x\r\n",
                          63 + 16));
}

TEST_F(LogRecordTest, EmptyTextAndNoStampWriteOnlyWhatTheyAskFor) {
    HANDLE file = Create();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(VLK_LogWrite(file, "first", 1));
    EXPECT_TRUE(VLK_LogWrite(file, "", 1));
    EXPECT_TRUE(VLK_LogWrite(file, "plain", 0));
    EXPECT_TRUE(VKL_LogFileClose(file));
    EXPECT_EQ(Content("VELTPD.log"), kDriverHeader + kStamp + "first\r\n" + kStamp + "\r\n" + "plain\r\n");
}

TEST_F(LogRecordTest, RefusedWritesLeaveTheFileAlone) {
    HANDLE file = Create();
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(VLK_LogWrite(nullptr, "text", 1));
    EXPECT_FALSE(VLK_LogWrite(file, nullptr, 1));
    HostFailFileWrite(1);
    EXPECT_FALSE(VLK_LogWrite(file, "lost", 1));
    EXPECT_TRUE(VKL_LogFileClose(file));
    EXPECT_EQ(Content("VELTPD.log"), "");
}

TEST_F(LogRecordTest, LinesFromTwoThreadsStayWhole) {
    auto logFifty = [this](const char* text) {
        for (int i = 0; i < 50; ++i) EXPECT_TRUE(LogLine(text));
    };
    std::thread first(logFifty, "first thread");
    std::thread second(logFifty, "other thread");
    first.join();
    second.join();
    const std::string content = Content("VELTPD.log");
    ASSERT_EQ(content.size(), kDriverHeader.size() + 100 * (13 + 12 + 2));
    EXPECT_EQ(content.substr(0, kDriverHeader.size()), kDriverHeader);
    for (size_t at = kDriverHeader.size(); at < content.size(); at += 27) {
        const std::string record = content.substr(at, 27);
        EXPECT_TRUE(record == kStamp + "first thread\r\n" || record == kStamp + "other thread\r\n") << at;
    }
}

} // namespace
