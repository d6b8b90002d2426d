// Rotation at 1 MB and the family size limit, against real files.
#include "log_test.h"

namespace {

using LogRotationTest = LogTest;

const char kRotated[] = "VELTPD2024_03_05_10_30_00.log";
const std::string kText30 = "thirty bytes of text for a log";

TEST_F(LogRotationTest, CreateDeletesOldestRotatedFilesUntilTheFamilyIsUnderTheLimit) {
    StoreSettings(1, LOG_MAX_SIZE_1MB, LogFolderPath());
    MakeFile("VELTPD.log", 200 * 1024);
    MakeFile("VELTPD2024_01_01_00_00_00.log", 400 * 1024);
    MakeFile("VELTPD2024_01_02_00_00_00.log", 400 * 1024);
    MakeFile("VELTPD2024_01_03_00_00_00.log", 500 * 1024);
    MakeFile("VELTUI2024_01_01_00_00_00.log", 900 * 1024); // another family
    HANDLE file = Create();
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(VKL_LogFileClose(file));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log", "VELTPD2024_01_03_00_00_00.log",
                                                     "VELTUI2024_01_01_00_00_00.log"}));
}

TEST_F(LogRotationTest, FullFileIsZeroFilledAndMovedAndTheTextStartsANewFile) {
    MakeFile("VELTPD.log", kMB - 26);
    HANDLE file = Create();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(VLK_LogWrite(file, kText30.c_str(), 1));
    ASSERT_TRUE(VLK_LogWrite(file, "next", 1)); // through the same handle, into the new file
    EXPECT_TRUE(VKL_LogFileClose(file));

    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log", kRotated}));
    ExpectContent(kRotated, std::string(kMB - 26, 'x') + std::string(26, '\0'));
    EXPECT_EQ(Content("VELTPD.log"), kDriverHeader + kStamp + kText30 + "\r\n" + kStamp + "next\r\n");
}

TEST_F(LogRotationTest, TwoRotationsInOneSecondOverwriteTheFirstRotatedFile) {
    MakeFile("VELTPD.log", kMB - 26, 'a');
    ASSERT_TRUE(LogLine(kText30.c_str()));
    MakeFile("VELTPD.log", kMB - 26, 'b');
    ASSERT_TRUE(LogLine(kText30.c_str()));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log", kRotated}));
    ExpectContent(kRotated, std::string(kMB - 26, 'b') + std::string(26, '\0'));
}

TEST_F(LogRotationTest, FileAtFullSizeIsRotatedByCreateWithoutFill) {
    MakeFile("VELTPD.log", kMB + 5);
    ASSERT_TRUE(LogLine("fresh"));
    EXPECT_EQ(Content(kRotated).size(), kMB + 5);
    EXPECT_EQ(Content("VELTPD.log"), kDriverHeader + kStamp + "fresh\r\n");
}

TEST_F(LogRotationTest, OnlyCurrentFileAtTheLimitIsItselfTheVictim) {
    StoreSettings(1, LOG_MAX_SIZE_1MB, LogFolderPath());
    MakeFile("VELTPD.log", kMB);
    ASSERT_TRUE(LogLine("fresh"));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log"}));
    EXPECT_EQ(Content("VELTPD.log"), kDriverHeader + kStamp + "fresh\r\n");
}

TEST_F(LogRotationTest, FamilyReachingTheLimitWhileOpenRotatesEarly) {
    StoreSettings(1, LOG_MAX_SIZE_1MB, LogFolderPath());
    HANDLE file = Create();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(VLK_LogWrite(file, "early", 1));
    // Another process rotates a large file into the family meanwhile.
    MakeFile("VELTPD2024_01_01_00_00_00.log", kMB);
    ASSERT_TRUE(VLK_LogWrite(file, "later", 1));
    EXPECT_TRUE(VKL_LogFileClose(file));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log", kRotated}));
    EXPECT_EQ(Content(kRotated), kDriverHeader + kStamp + "early\r\n"); // moved without zero fill
    EXPECT_EQ(Content("VELTPD.log"), kDriverHeader + kStamp + "later\r\n");
}

TEST_F(LogRotationTest, ZeroFillWithoutMemoryFailsAndLosesNothing) {
    MakeFile("VELTPD.log", kMB - 26);
    const long blocks = HostHeapBlocksInUse();
    HANDLE file = Create();
    ASSERT_NE(file, nullptr);
    HostFailAllocation(1);
    EXPECT_FALSE(VLK_LogWrite(file, kText30.c_str(), 1));
    EXPECT_TRUE(VKL_LogFileClose(file));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log"}));
    ExpectContent("VELTPD.log", std::string(kMB - 26, 'x'));
    EXPECT_EQ(HostHeapBlocksInUse(), blocks);
    // The next message starts again from the files as they are.
    EXPECT_TRUE(LogLine(kText30.c_str()));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log", kRotated}));
}

TEST_F(LogRotationTest, FileHeldWithoutDeleteSharingCannotBeRotated) {
    MakeFile("VELTPD.log", kMB - 26);
    HANDLE file = Create();
    ASSERT_NE(file, nullptr);
    HANDLE reader = Hold("VELTPD.log", FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(VLK_LogWrite(file, kText30.c_str(), 1));
    EXPECT_FALSE(VLK_LogWrite(file, "after", 1)); // its file was closed for the rotation
    EXPECT_TRUE(VKL_LogFileClose(file));
    // No second copy is left behind; the current file keeps its text, now at full size.
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log"}));
    ExpectContent("VELTPD.log", std::string(kMB - 26, 'x') + std::string(26, '\0'));
    ASSERT_TRUE(CloseHandle(reader));
    EXPECT_TRUE(LogLine("again"));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log", kRotated}));
}

TEST_F(LogRotationTest, FileHeldWithoutAnySharingStopsTheFamily) {
    MakeFile("VELTPD.log", kMB);
    HANDLE holder = Hold("VELTPD.log", 0);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Create(), nullptr);
    ASSERT_TRUE(CloseHandle(holder));
    ExpectContent("VELTPD.log", std::string(kMB, 'x'));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log"}));
}

} // namespace
