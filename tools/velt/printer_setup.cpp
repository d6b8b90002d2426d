#include "printer_setup.h"

#include "installation.h"
#include "subcommands.h"

namespace velt {
namespace {

constexpr char16_t kDriverKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\VELT K9x";

bool DriverInstalled() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

} // namespace

bool EnsureDriver(const std::string& command, std::ostream& err) {
    if (DriverInstalled()) return true;
    std::u16string name = DRIVER_NAME, driver = DRIVER_FILE, data = DRIVER_DATA_FILE, config = DRIVER_CONFIG_FILE;
    DRIVER_INFO_2W info{3, name.data(), nullptr, driver.data(), data.data(), config.data()};
    if (!AddPrinterDriverW(nullptr, 2, reinterpret_cast<LPBYTE>(&info))) {
        err << command << ": cannot install the driver \"" << HostNarrow(DRIVER_NAME) << "\" (error " << GetLastError()
            << ")\n";
        return false;
    }
    return true;
}

int AddDriverPrinter(const std::u16string& name, const std::u16string& port, bool bidi, const std::string& command,
                     std::ostream& err) {
    if (!EnsureDriver(command, err)) return EXIT_SYSTEM_ERROR;
    std::u16string printerName = name, driver = DRIVER_NAME, portName = port;
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pDriverName = driver.data();
    info.pPortName = portName.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL | (bidi ? PRINTER_ATTRIBUTE_ENABLE_BIDI : 0);
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!added) {
        const DWORD error = GetLastError();
        err << command << ": cannot add the printer \"" << HostNarrow(name.c_str()) << "\": ";
        if (error == ERROR_PRINTER_ALREADY_EXISTS) {
            err << "there is a printer of that name already\n";
            return EXIT_INPUT_ERROR;
        }
        if (error == ERROR_INVALID_PRINTER_NAME) {
            err << "a printer's name is 1 to 220 characters without a comma or backslash\n";
            return EXIT_INPUT_ERROR;
        }
        err << "error " << error << '\n';
        return EXIT_SYSTEM_ERROR;
    }
    ClosePrinter(added);
    return EXIT_OK;
}

} // namespace velt
