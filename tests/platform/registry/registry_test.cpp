// The registry: creation and its disposition, size queries and short buffers, access rights,
// case-insensitive paths, deletion rules.
#include <cstring>

#include "host_fixture.h"

namespace {

class RegistryTest : public HostTest {
protected:
    HKEY Create(const char16_t* path, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                                  disposition),
                  ERROR_SUCCESS);
        return key;
    }
};

TEST_F(RegistryTest, CreateReportsNewOrExistingAndOpenFindsItWhateverTheCase) {
    DWORD disposition = 0;
    HKEY key = Create(u"SOFTWARE\\Calvix", KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(key);
    key = Create(u"software\\CALVIX", KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(key);

    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Calvix", 0, KEY_READ, &opened), ERROR_SUCCESS);
    RegCloseKey(opened);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, KEY_READ, &opened), ERROR_SUCCESS); // made on the way
    RegCloseKey(opened);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Other", 0, KEY_READ, &opened), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, QueryAnswersSizeFirstThenMoreDataThenTheBytes) {
    HKEY key = Create(u"SOFTWARE\\Calvix");
    const std::u16string name = u"VELT Printer";
    const DWORD nameBytes = static_cast<DWORD>((name.size() + 1) * 2);
    ASSERT_EQ(
        RegSetValueExW(key, u"CurrentPrinterName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()), nameBytes),
        ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"currentprintername", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, nameBytes);

    BYTE small[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, u"CurrentPrinterName", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, nameBytes);

    std::vector<BYTE> buffer(nameBytes + 10, 0xEE);
    size = static_cast<DWORD>(buffer.size());
    EXPECT_EQ(RegQueryValueExW(key, u"CurrentPrinterName", nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, nameBytes);
    EXPECT_EQ(std::memcmp(buffer.data(), name.c_str(), nameBytes), 0);
    EXPECT_EQ(buffer[nameBytes], 0xEE);

    EXPECT_EQ(RegQueryValueExW(key, u"VerticalDotCount", nullptr, &type, buffer.data(), &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DwordValuesOverwriteAndDelete) {
    HKEY key = Create(u"SOFTWARE\\Calvix");
    DWORD value = 1000;
    ASSERT_EQ(RegSetValueExW(key, u"VerticalDotCount", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4),
              ERROR_SUCCESS);
    value = 2000;
    ASSERT_EQ(RegSetValueExW(key, u"VERTICALDOTCOUNT", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4),
              ERROR_SUCCESS);
    DWORD read = 0, size = 4, type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"VerticalDotCount", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 2000u);
    EXPECT_EQ(RegDeleteValueW(key, u"VerticalDotCount"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, u"VerticalDotCount"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key, u"VerticalDotCount", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, AKeyOpenedForReadingCannotBeWritten) {
    RegCloseKey(Create(u"SOFTWARE\\Calvix"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 1;
    EXPECT_EQ(RegSetValueExW(key, u"X", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(key, u"X"), ERROR_ACCESS_DENIED);
    // Creating a subkey is a matter of the key's security, not of the handle's access.
    HKEY sub = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(key, u"Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(RegSetValueExW(sub, u"X", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4), ERROR_SUCCESS);
    RegCloseKey(sub);
    RegCloseKey(key);

    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(key, u"X", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeleteKeyRefusesKeysWithSubkeysAndTakesItsValues) {
    HKEY key = Create(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\VELT");
    DWORD value = 7;
    RegSetValueExW(key, u"V", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers"),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\velt"),
              ERROR_SUCCESS);
    // The handle still open on the deleted key answers that its key is gone.
    EXPECT_EQ(RegQueryValueExW(key, u"V", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    RegCloseKey(key);
    key = Create(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\VELT");
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(key, u"V", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SYSTEM\\Missing"), ERROR_FILE_NOT_FOUND);
    // A sibling whose name merely starts with the same letters is not a subkey.
    RegCloseKey(Create(u"SOFTWARE\\CalvixOther"));
    RegCloseKey(Create(u"SOFTWARE\\Calvix"));
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix"), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ClosedAndForeignHandlesAreRefused) {
    HKEY key = Create(u"SOFTWARE\\Calvix");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"X", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(Create(u"SOFTWARE\\Calvix")))); // not a kernel handle
}

} // namespace
