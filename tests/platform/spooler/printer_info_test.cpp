// Printer information: level 2 packed into the caller's buffer, short-buffer answers, level 6,
// SetPrinterW level 2 and its rights, and device modes copied as dmSize + dmDriverExtra bytes.
#include <cstring>

#include "spooler_test_support.h"

namespace {

class PrinterInfoTest : public SpoolerTest {
protected:
    // A device mode with 16 private bytes after the public part, as drivers keep them.
    static std::vector<BYTE> Devmode(SHORT paperLength) {
        std::vector<BYTE> bytes(sizeof(DEVMODEW) + 16 + 8, 0xAB); // 8 bytes beyond must not be copied
        auto* dm = reinterpret_cast<DEVMODEW*>(bytes.data());
        std::memset(dm, 0, sizeof(DEVMODEW));
        std::memcpy(dm->dmDeviceName, u"VELT", 10);
        dm->dmSpecVersion = DM_SPECVERSION;
        dm->dmSize = sizeof(DEVMODEW);
        dm->dmDriverExtra = 16;
        dm->dmPaperLength = paperLength;
        std::memcpy(bytes.data() + sizeof(DEVMODEW), "PRIV", 4);
        return bytes;
    }
    static std::vector<BYTE> Level2(HANDLE printer) {
        DWORD needed = 0;
        EXPECT_FALSE(GetPrinterW(printer, 2, nullptr, 0, &needed));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        std::vector<BYTE> buffer(needed);
        EXPECT_TRUE(GetPrinterW(printer, 2, buffer.data(), needed, &needed));
        return buffer;
    }
};

TEST_F(PrinterInfoTest, Level2IsPackedIntoTheBufferWithItsDevmode) {
    auto devmode = Devmode(2000);
    HANDLE printer = AddTestPrinter(u"VELT Printer", u"VELT", u"USB001", PRINTER_ALL_ACCESS,
                                    reinterpret_cast<DEVMODEW*>(devmode.data()));
    ASSERT_NE(printer, nullptr);
    DWORD needed = 0;
    std::vector<BYTE> small(sizeof(PRINTER_INFO_2W) + 10, 0xEE);
    EXPECT_FALSE(GetPrinterW(printer, 2, small.data(), static_cast<DWORD>(small.size()), &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_GT(needed, sizeof(PRINTER_INFO_2W) + 236);
    EXPECT_EQ(small, std::vector<BYTE>(small.size(), 0xEE)); // nothing written into a short buffer

    const auto buffer = Level2(printer);
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    const auto inside = [&](const void* p) { return p >= buffer.data() && p < buffer.data() + buffer.size(); };
    ASSERT_TRUE(inside(info->pPrinterName) && inside(info->pPortName) && inside(info->pDevMode));
    EXPECT_EQ(std::u16string(info->pPrinterName), u"VELT Printer");
    EXPECT_EQ(std::u16string(info->pDriverName), u"VELT");
    EXPECT_EQ(std::u16string(info->pPortName), u"USB001");
    EXPECT_TRUE(info->Attributes & PRINTER_ATTRIBUTE_LOCAL);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(info->pDevMode) % alignof(DEVMODEW), 0u);
    EXPECT_EQ(std::memcmp(info->pDevMode, devmode.data(), 236), 0);
    EXPECT_EQ(info->cJobs, 0u);
}

TEST_F(PrinterInfoTest, SetLevel2StoresPortAttributesAndDevmode) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"USB001");
    auto buffer = Level2(printer);
    auto info = *reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    std::u16string port = u"REC:new";
    auto devmode = Devmode(1234);
    info.pPortName = port.data();
    info.pDevMode = reinterpret_cast<DEVMODEW*>(devmode.data());
    info.Attributes |= PRINTER_ATTRIBUTE_ENABLE_BIDI;
    ASSERT_TRUE(SetPrinterW(printer, 2, reinterpret_cast<LPBYTE>(&info), 0));

    const auto after = Level2(printer);
    const auto* stored = reinterpret_cast<const PRINTER_INFO_2W*>(after.data());
    EXPECT_EQ(std::u16string(stored->pPortName), u"REC:new");
    EXPECT_TRUE(stored->Attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI);
    EXPECT_EQ(stored->pDevMode->dmPaperLength, 1234);
    ASSERT_NE(PrintDocument(printer, u"doc", {"to the new port"}), 0u);
    EXPECT_EQ(RecordingBackend::Get().bytes, "to the new port");
}

TEST_F(PrinterInfoTest, WorkOfflineHoldsJobsUntilTheAttributeIsCleared) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"USB001");
    auto buffer = Level2(printer);
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    info->Attributes |= PRINTER_ATTRIBUTE_WORK_OFFLINE;
    ASSERT_TRUE(SetPrinterW(printer, 2, buffer.data(), 0));
    ASSERT_NE(PrintDocument(printer, u"doc", {"held"}), 0u);
    EXPECT_TRUE(HostPortBytes(u"USB001").empty());
    info->Attributes &= ~PRINTER_ATTRIBUTE_WORK_OFFLINE;
    ASSERT_TRUE(SetPrinterW(printer, 2, buffer.data(), 0));
    EXPECT_EQ(Text(HostPortBytes(u"USB001")), "held");
}

TEST_F(PrinterInfoTest, Level6AndSetStatus) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"USB001");
    PRINTER_INFO_6 status{PRINTER_STATUS_PAPER_OUT};
    ASSERT_TRUE(SetPrinterW(printer, 6, reinterpret_cast<LPBYTE>(&status), 0));
    PRINTER_INFO_6 read{};
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(printer, 6, reinterpret_cast<LPBYTE>(&read), 2, &needed));
    EXPECT_EQ(needed, sizeof(PRINTER_INFO_6));
    ASSERT_TRUE(GetPrinterW(printer, 6, reinterpret_cast<LPBYTE>(&read), sizeof read, &needed));
    EXPECT_EQ(read.dwStatus, static_cast<DWORD>(PRINTER_STATUS_PAPER_OUT));
    DWORD cleared = 0;
    ASSERT_TRUE(SetPrinterW(printer, 0, reinterpret_cast<LPBYTE>(&cleared), PRINTER_CONTROL_SET_STATUS));
    ASSERT_TRUE(GetPrinterW(printer, 6, reinterpret_cast<LPBYTE>(&read), sizeof read, &needed));
    EXPECT_EQ(read.dwStatus, 0u);
    EXPECT_FALSE(GetPrinterW(printer, 3, reinterpret_cast<LPBYTE>(&read), sizeof read, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST_F(PrinterInfoTest, SettingNeedsAdministerAccess) {
    AddTestPrinter(u"VELT", u"VELT", u"USB001");
    HANDLE user = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(u"VELT"), &user, nullptr));
    EXPECT_FALSE(SetPrinterW(user, 0, nullptr, PRINTER_CONTROL_PAUSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(user, 2, nullptr, 0, &needed)); // reading is allowed: only the buffer is short
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(PrinterInfoTest, ADevmodeTooSmallToBeOneIsRefused) {
    DEVMODEW bad{};
    bad.dmSize = 10;
    EXPECT_EQ(AddTestPrinter(u"VELT", u"VELT", u"USB001", PRINTER_ALL_ACCESS, &bad), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(PrinterInfoTest, ABackendAnswersPrinterDataFromPort) {
    const MONITOR* monitor = HostPortMonitor();
    HANDLE port = nullptr;
    ASSERT_TRUE(monitor->pfnOpenPort(const_cast<LPWSTR>(u"REC:usb"), &port));
    BYTE request[3] = {0x01, 0x00, 0x00}, reply[4] = {};
    DWORD returned = 0;
    ASSERT_TRUE(monitor->pfnGetPrinterDataFromPort(port, IOCTL_USBPRINT_VENDOR_GET_COMMAND, nullptr,
                                                   reinterpret_cast<LPWSTR>(request), 3,
                                                   reinterpret_cast<LPWSTR>(reply), sizeof reply, &returned));
    EXPECT_EQ(returned, 1u);
    EXPECT_EQ(reply[0], 0x12);
    ASSERT_TRUE(monitor->pfnClosePort(port));
    EXPECT_FALSE(monitor->pfnClosePort(port));

    HANDLE file = nullptr;
    ASSERT_TRUE(monitor->pfnOpenPort(const_cast<LPWSTR>(u"FILE:/dev/null"), &file));
    EXPECT_FALSE(monitor->pfnGetPrinterDataFromPort(file, IOCTL_USBPRINT_VENDOR_GET_COMMAND, nullptr, nullptr, 0,
                                                    reinterpret_cast<LPWSTR>(reply), sizeof reply, &returned));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    monitor->pfnClosePort(file);
}

} // namespace
