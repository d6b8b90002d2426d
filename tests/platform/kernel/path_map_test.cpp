// Platform paths on the Linux file system.
#include "host_fixture.h"

namespace {

using PathMapTest = HostTest;

TEST_F(PathMapTest, DrivePathsLandBelowTheHomeFolder) {
    const std::string home = (Folder() / "home").string();
    EXPECT_EQ(HostHomeFolder(), home);
    EXPECT_EQ(HostLinuxPath(u"C:\\Logs\\VELTPD.log"), home + "/drives/c/Logs/VELTPD.log");
    EXPECT_EQ(HostLinuxPath(u"d:/a/b"), home + "/drives/d/a/b");
    EXPECT_EQ(HostLinuxPath(u"C:\\a\\.\\b\\..\\c"), home + "/drives/c/a/c");
    EXPECT_EQ(HostLinuxPath(u"\\Windows"), home + "/drives/c/Windows");
}

TEST_F(PathMapTest, LinuxPathsAreUsedAsTheyAre) {
    EXPECT_EQ(HostLinuxPath(u"/tmp/logs\\VELTPD.log"), "/tmp/logs/VELTPD.log");
    EXPECT_EQ(HostLinuxPath(u"/dev/usb/lp0"), "/dev/usb/lp0");
}

TEST_F(PathMapTest, DrivePathsFindExistingElementsWithoutRegardToCase) {
    const auto home = Folder() / "home";
    std::filesystem::create_directories(home / "drives" / "c" / "Logs");
    WriteBytes(home / "drives" / "c" / "Logs" / "VeltPD.log", {1, 2});
    EXPECT_EQ(HostLinuxPath(u"C:\\LOGS\\veltpd.LOG"), (home / "drives/c/Logs/VeltPD.log").string());
    EXPECT_EQ(HostLinuxPath(u"C:\\logs\\New\\x.log"), (home / "drives/c/Logs/New/x.log").string());
    // Files reached through such a path are the same files.
    HANDLE file = CreateFileW(u"c:\\LOGS\\VELTPD.LOG", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 2u);
    CloseHandle(file);
}

} // namespace
