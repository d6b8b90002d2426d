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

bool MonitorModulePresent() {
    HMODULE module = LoadLibraryW(MONITOR_MODULE);
    if (!module) return false;
    const bool present = GetProcAddress(module, "InitializePrintMonitor") != nullptr;
    FreeLibrary(module);
    return present;
}

bool EnsureDriver(const std::string& command, std::ostream& err) {
    if (DriverInstalled()) return true;
    // The language monitor first, when the build has it: the driver names it, and its printers' jobs go
    // through it; without it they go straight to the port.
    std::u16string monitor = MONITOR_NAME, module = MONITOR_MODULE, environment = u"Windows NT x86";
    const bool throughMonitor = MonitorModulePresent();
    if (throughMonitor) {
        MONITOR_INFO_2W added{monitor.data(), environment.data(), module.data()};
        if (!AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&added))) {
            err << command << ": cannot add the language monitor \"" << HostNarrow(MONITOR_NAME)
                << "\": " << ErrorText(GetLastError()) << '\n';
            return false;
        }
    }
    std::u16string name = DRIVER_NAME, driver = DRIVER_FILE, data = DRIVER_DATA_FILE, config = DRIVER_CONFIG_FILE,
                   raw = u"RAW";
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = name.data();
    info.pEnvironment = environment.data();
    info.pDriverPath = driver.data();
    info.pDataFile = data.data();
    info.pConfigFile = config.data();
    info.pMonitorName = throughMonitor ? monitor.data() : nullptr;
    info.pDefaultDataType = raw.data();
    if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info))) {
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
