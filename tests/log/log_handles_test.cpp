// A caller's handle after a write has replaced its file: the close must reach the replacement, once, and
// nothing else.
#include "log_test.h"

namespace {

class LogHandleTest : public LogTest {
protected:
    // A handle whose file the first write fills and rotates.
    HANDLE CreateNearlyFull() {
        MakeFile("VELTPD.log", kMB - 26);
        return Create();
    }

    // True while some handle keeps the current file open.
    bool CurrentFileIsHeld() {
        HANDLE probe = Hold("VELTPD.log", 0);
        if (probe == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
        CloseHandle(probe);
        return false;
    }
};

TEST_F(LogHandleTest, CloseAfterReplacementClosesTheNewFileAndNotTheOldValue) {
    HANDLE file = CreateNearlyFull();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(VLK_LogWrite(file, "rotated", 1));
    // Objects the process opens meanwhile; on a platform that reuses handle values, one of them could
    // carry the old value.
    HANDLE other = CreateFileW(PathIn("other.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CurrentFileIsHeld());

    // The old value never went to CloseHandle, which would have set an error.
    EXPECT_LAST_ERROR(kSentinelLastError, EXPECT_TRUE(VKL_LogFileClose(file)));
    EXPECT_FALSE(CurrentFileIsHeld());
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(other, "ok", 2, &written, nullptr));
    EXPECT_TRUE(CloseHandle(other));
    EXPECT_FALSE(VKL_LogFileClose(file)); // forgotten once closed
}

TEST_F(LogHandleTest, SecondRotationThroughOneHandleClosesTheFirstReplacement) {
    HANDLE file = CreateNearlyFull();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(VLK_LogWrite(file, "one", 1));
    // The replacement fills up; one second later its rotation gets a name of its own.
    HANDLE appender = CreateFileW((LogFolderPath() + u"/VELTPD.log").c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(appender, INVALID_HANDLE_VALUE);
    const std::vector<char> filler(kMB - 100, 'f');
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(appender, filler.data(), static_cast<DWORD>(filler.size()), &written, nullptr));
    ASSERT_TRUE(CloseHandle(appender));
    HostAdvanceClock(1000);
    ASSERT_TRUE(VLK_LogWrite(file, "two", 1));
    EXPECT_TRUE(VKL_LogFileClose(file));
    EXPECT_FALSE(CurrentFileIsHeld());
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTPD.log", "VELTPD2024_03_05_10_30_00.log",
                                                     "VELTPD2024_03_05_10_30_01.log"}));
    EXPECT_EQ(Content("VELTPD.log"), kDriverHeader + std::string("10:30:01.000\0two\r\n", 18));
}

// Six handles on one nearly full file: each write retires its handle, and the rotation fails while the
// others still hold the file, until the last one's succeeds. The table keeps every retired handle (more
// than its first room), and each closes once, through the table, never through the old value.
TEST_F(LogHandleTest, ManyRetiredHandlesEachCloseOnceThroughTheTable) {
    MakeFile("VELTPD.log", kMB - 26);
    std::vector<HANDLE> callers;
    for (int i = 0; i < 6; ++i) {
        callers.push_back(Create());
        ASSERT_NE(callers.back(), nullptr);
    }
    for (size_t i = 0; i + 1 < callers.size(); ++i) {
        EXPECT_FALSE(VLK_LogWrite(callers[i], "held", 1)) << i;
    }
    EXPECT_TRUE(VLK_LogWrite(callers.back(), "rotated", 1));
    EXPECT_FALSE(VLK_LogWrite(callers.front(), "closed", 1)); // its file went with its failed rotation

    SetLastError(ERROR_SUCCESS);
    for (HANDLE caller : callers) {
        EXPECT_TRUE(VKL_LogFileClose(caller));
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(CurrentFileIsHeld());
    for (HANDLE caller : callers) {
        EXPECT_FALSE(VKL_LogFileClose(caller));
    }
}

TEST_F(LogHandleTest, PlainHandlesCloseOnceAndUnknownOnesFail) {
    HANDLE file = Create();
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(VKL_LogFileClose(file));
    EXPECT_FALSE(VKL_LogFileClose(file));
    EXPECT_FALSE(VKL_LogFileClose(nullptr));
    EXPECT_FALSE(VLK_LogWrite(file, "closed", 1));
}

} // namespace
