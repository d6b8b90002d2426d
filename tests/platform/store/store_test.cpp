// The persistent store: registry values and printers survive a reopen; a temporary store starts empty.
#include "host_fixture.h"

namespace {

using StoreTest = HostTest;

TEST_F(StoreTest, ValuesAndPrintersSurviveAReopen) {
    const std::string folder = (Folder() / "state").string();
    ASSERT_TRUE(HostUseStore(folder.c_str()));
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    DWORD dots = 1200;
    ASSERT_EQ(RegSetValueExW(key, u"VerticalDotCount", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dots), 4), ERROR_SUCCESS);
    HANDLE printer = AddTestPrinter(u"VELT Printer");
    ASSERT_NE(printer, nullptr);
    BYTE record[240] = {0x02, 0x01, 240};
    ASSERT_EQ(SetPrinterDataW(printer, const_cast<LPWSTR>(u"PrinterData"), REG_BINARY, record, sizeof record),
              static_cast<DWORD>(ERROR_SUCCESS));

    HostUseTemporaryStore();
    EXPECT_EQ(RegQueryValueExW(key, u"VerticalDotCount", nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    HANDLE none = nullptr;
    EXPECT_FALSE(OpenPrinterW(const_cast<LPWSTR>(u"VELT Printer"), &none, nullptr));

    ASSERT_TRUE(HostUseStore(folder.c_str()));
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD read = 0, size = 4;
    EXPECT_EQ(RegQueryValueExW(key, u"VerticalDotCount", nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 1200u);
    RegCloseKey(key);
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(u"VELT Printer"), &printer, nullptr));
    BYTE back[240] = {};
    DWORD needed = 0, type = 0;
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<LPWSTR>(u"PrinterData"), &type, back, sizeof back, &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(needed, 240u);
    EXPECT_EQ(std::vector<BYTE>(back, back + 240), std::vector<BYTE>(record, record + 240));
    ClosePrinter(printer);
}

TEST_F(StoreTest, TheDefaultStoreLivesInTheHomeFolder) {
    ASSERT_TRUE(HostUseStore(nullptr));
    EXPECT_TRUE(std::filesystem::exists(Folder() / "home" / "store.sqlite3"));
}

} // namespace
