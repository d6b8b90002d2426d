// Printers and their data: adding, opening with access rights, values returned byte for byte with
// their type, the answers for short buffers and missing names, and injected read failures.
#include <cstring>

#include "host_fixture.h"

namespace {

class PrinterDataTest : public HostTest {
protected:
    static DWORD Set(HANDLE printer, const char16_t* name, DWORD type, const std::vector<BYTE>& bytes) {
        return SetPrinterDataW(printer, const_cast<LPWSTR>(name), type, const_cast<BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()));
    }
    static DWORD Get(HANDLE printer, const char16_t* name, DWORD* type, BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterDataW(printer, const_cast<LPWSTR>(name), type, data, size, needed);
    }
    static HANDLE Open(const char16_t* name, PRINTER_DEFAULTSW* defaults) {
        HANDLE printer = nullptr;
        return OpenPrinterW(const_cast<LPWSTR>(name), &printer, defaults) ? printer : nullptr;
    }
};

TEST_F(PrinterDataTest, AddingTwiceAndOpeningUnknownNamesFail) {
    HANDLE printer = AddTestPrinter(u"VELT Printer");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(AddTestPrinter(u"velt printer"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINTER_ALREADY_EXISTS));
    EXPECT_EQ(Open(u"Nobody", nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    EXPECT_EQ(AddTestPrinter(u"bad,name"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    PRINTER_INFO_2W info{};
    EXPECT_EQ(AddPrinterW(nullptr, 1, reinterpret_cast<LPBYTE>(&info)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST_F(PrinterDataTest, ValuesComeBackByteForByteWithTheirType) {
    HANDLE printer = AddTestPrinter(u"VELT Printer");
    std::vector<BYTE> log(528, 0);
    log[0] = 1;
    log[6] = 'C';
    ASSERT_EQ(Set(printer, u"DriverLogFile", REG_BINARY, log), static_cast<DWORD>(ERROR_SUCCESS));

    DWORD type = 0, needed = 0;
    std::vector<BYTE> buffer(1056, 0xEE);
    EXPECT_EQ(Get(printer, u"driverlogfile", &type, buffer.data(), 1056, &needed), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(needed, 528u);
    EXPECT_EQ(std::vector<BYTE>(buffer.begin(), buffer.begin() + 528), log);
    EXPECT_EQ(buffer[528], 0xEE); // nothing beyond the value is touched

    DWORD size = 240;
    ASSERT_EQ(Set(printer, u"PrinterDataSize", REG_DWORD, {240, 0, 0, 0}), static_cast<DWORD>(ERROR_SUCCESS));
    DWORD read = 0;
    EXPECT_EQ(Get(printer, u"PrinterDataSize", &type, reinterpret_cast<BYTE*>(&read), 4, &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(read, size);
}

TEST_F(PrinterDataTest, ShortOrAbsentBuffersAnswerMoreDataWithTheSize) {
    HANDLE printer = AddTestPrinter(u"VELT Printer");
    ASSERT_EQ(Set(printer, u"PrinterData", REG_BINARY, std::vector<BYTE>(236, 7)), static_cast<DWORD>(ERROR_SUCCESS));
    DWORD type = 0, needed = 0;
    EXPECT_EQ(Get(printer, u"PrinterData", &type, nullptr, 0, &needed), static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(needed, 236u);
    std::vector<BYTE> small(100, 0xEE);
    EXPECT_EQ(Get(printer, u"PrinterData", &type, small.data(), 100, &needed), static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(needed, 236u);
    EXPECT_EQ(small, std::vector<BYTE>(100, 0xEE)); // a short buffer gets nothing
    std::vector<BYTE> big(240, 0);
    EXPECT_EQ(Get(printer, u"PrinterData", &type, big.data(), 240, &needed), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(needed, 236u); // fewer bytes than asked for: the caller sees it in needed

    EXPECT_EQ(Get(printer, u"Getconfig_others", &type, big.data(), 240, &needed),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(PrinterDataTest, SettingAndDeletingNeedAdministerAccess) {
    HANDLE admin = AddTestPrinter(u"VELT Printer");
    ASSERT_EQ(Set(admin, u"CustomPaperList", REG_BINARY, {1, 2, 3}), static_cast<DWORD>(ERROR_SUCCESS));

    HANDLE user = Open(u"VELT Printer", nullptr); // no defaults: use only
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(Set(user, u"CustomPaperList", REG_BINARY, {9}), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(DeletePrinterDataW(user, const_cast<LPWSTR>(u"CustomPaperList")),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    BYTE read[3] = {};
    DWORD needed = 0;
    EXPECT_EQ(Get(user, u"CustomPaperList", nullptr, read, 3, &needed), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(read[2], 3);

    PRINTER_DEFAULTSW useOnly{nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE user2 = Open(u"VELT Printer", &useOnly);
    EXPECT_EQ(Set(user2, u"X", REG_DWORD, {1, 0, 0, 0}), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // A process that is not an administrator is refused administer rights when it opens the printer,
    // and may still open it to print.
    HostSetAdministrator(FALSE);
    for (ACCESS_MASK rights :
         {ACCESS_MASK{PRINTER_ALL_ACCESS}, ACCESS_MASK{PRINTER_ACCESS_ADMINISTER}, ACCESS_MASK{GENERIC_ALL}}) {
        PRINTER_DEFAULTSW asked{nullptr, nullptr, rights};
        EXPECT_EQ(Open(u"VELT Printer", &asked), nullptr) << std::hex << rights;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    HANDLE user3 = Open(u"VELT Printer", &useOnly);
    EXPECT_NE(user3, nullptr);
    HostSetAdministrator(TRUE);
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    EXPECT_NE(Open(u"VELT Printer", &all), nullptr);

    EXPECT_EQ(DeletePrinterDataW(admin, const_cast<LPWSTR>(u"CustomPaperList")), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(DeletePrinterDataW(admin, const_cast<LPWSTR>(u"CustomPaperList")),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Get(user, u"CustomPaperList", nullptr, read, 3, &needed), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(PrinterDataTest, DataBelongsToOnePrinter) {
    HANDLE a = AddTestPrinter(u"A");
    HANDLE b = AddTestPrinter(u"B");
    ASSERT_EQ(Set(a, u"PrinterData", REG_BINARY, {1}), static_cast<DWORD>(ERROR_SUCCESS));
    DWORD needed = 0;
    EXPECT_EQ(Get(b, u"PrinterData", nullptr, nullptr, 0, &needed), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // A deleted printer takes its data along: a new printer of the same name starts empty.
    ASSERT_TRUE(DeletePrinter(a));
    EXPECT_EQ(Get(a, u"PrinterData", nullptr, nullptr, 0, &needed), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    ClosePrinter(a);
    HANDLE again = AddTestPrinter(u"A");
    EXPECT_EQ(Get(again, u"PrinterData", nullptr, nullptr, 0, &needed), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(PrinterDataTest, DeletingNeedsTheDeleteRight) {
    AddTestPrinter(u"A");
    HANDLE user = Open(u"A", nullptr);
    EXPECT_FALSE(DeletePrinter(user));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(PrinterDataTest, InjectedReadFailureHitsTheNthReadOnly) {
    HANDLE printer = AddTestPrinter(u"VELT Printer");
    ASSERT_EQ(Set(printer, u"PrinterDataSize", REG_DWORD, {240, 0, 0, 0}), static_cast<DWORD>(ERROR_SUCCESS));
    DWORD value = 0, needed = 0;
    HostFailPrinterDataRead(2);
    EXPECT_EQ(Get(printer, u"PrinterDataSize", nullptr, reinterpret_cast<BYTE*>(&value), 4, &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_NE(Get(printer, u"PrinterDataSize", nullptr, reinterpret_cast<BYTE*>(&value), 4, &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Get(printer, u"PrinterDataSize", nullptr, reinterpret_cast<BYTE*>(&value), 4, &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(PrinterDataTest, ClosedAndForeignHandlesAreRefused) {
    HANDLE printer = AddTestPrinter(u"VELT Printer");
    ASSERT_TRUE(ClosePrinter(printer));
    EXPECT_FALSE(ClosePrinter(printer));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    DWORD needed = 0;
    EXPECT_EQ(Get(printer, u"X", nullptr, nullptr, 0, &needed), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    HANDLE file = CreateFileW(PathIn("f").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(Get(file, u"X", nullptr, nullptr, 0, &needed), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(file);
}

} // namespace
