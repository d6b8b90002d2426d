#include "printer_setup.h"

#include "installation.h"
#include "subcommands.h"

namespace velt {
namespace {

constexpr char16_t kDriverKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\VELT K9x";

// Installed whole: the driver's key names its configuration file (written last).
bool DriverInstalled() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = 0;
    const LONG read = RegQueryValueExW(key, u"Configuration File", nullptr, &type, nullptr, &size);
    RegCloseKey(key);
    return (read == ERROR_SUCCESS || read == ERROR_MORE_DATA) && type == REG_SZ && size > sizeof(char16_t);
}

} // namespace

bool EnsureDriver(const std::string& command, std::ostream& err) {
    if (DriverInstalled()) return true;
    std::u16string name = DRIVER_NAME, driver = DRIVER_FILE, data = DRIVER_DATA_FILE, config = DRIVER_CONFIG_FILE;
    DRIVER_INFO_2W info{3, name.data(), nullptr, driver.data(), data.data(), config.data()};
    if (!AddPrinterDriverW(nullptr, 2, reinterpret_cast<LPBYTE>(&info))) {
        err << command << ": cannot install the driver \"" << HostNarrow(DRIVER_NAME)
            << "\": " << ErrorText(GetLastError()) << '\n';
        return false;
    }
    return true;
}

DWORD AddDriverPrinter(const std::u16string& name, const std::u16string& port, bool bidi) {
    std::u16string printerName = name, driver = DRIVER_NAME, portName = port;
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pDriverName = driver.data();
    info.pPortName = portName.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL | (bidi ? PRINTER_ATTRIBUTE_ENABLE_BIDI : 0);
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!added) return GetLastError();
    ClosePrinter(added);
    return ERROR_SUCCESS;
}

int ReportAddFailure(const std::string& command, const std::u16string& name, DWORD error, std::ostream& err) {
    err << command << ": cannot add the printer \"" << HostNarrow(name.c_str()) << "\": ";
    if (error == ERROR_PRINTER_ALREADY_EXISTS) {
        err << "there is a printer of that name already\n";
        return EXIT_INPUT_ERROR;
    }
    if (error == ERROR_INVALID_PRINTER_NAME) {
        err << "a printer's name is 1 to 220 characters without a comma or backslash\n";
        return EXIT_INPUT_ERROR;
    }
    err << ErrorText(error) << '\n';
    return EXIT_SYSTEM_ERROR;
}

} // namespace velt
