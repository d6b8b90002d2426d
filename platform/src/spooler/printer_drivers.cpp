// Installed printer drivers: AddPrinterDriverW and GetPrinterDriverW, kept in the registry under the
// environment's drivers key as the platform keeps them.
#include "kernel/internal.h"
#include "module/internal.h"
#include "platform.h"
#include "spooler/internal.h"
#include "store/internal.h"

namespace host {

namespace {

constexpr char16_t kDriversKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\"
                                   u"Version-3\\";
constexpr char16_t kDriverValue[] = u"Driver";
constexpr char16_t kDataFileValue[] = u"Data File";
constexpr char16_t kConfigFileValue[] = u"Configuration File";
constexpr char16_t kVersionValue[] = u"Version";
constexpr char16_t kHelpFileValue[] = u"Help File";
constexpr char16_t kMonitorValue[] = u"Monitor";
constexpr char16_t kDatatypeValue[] = u"Datatype";
constexpr char16_t kMonitorsKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// The file name of a path: drivers are known by their files in the printer driver folder.
std::u16string FileName(LPCWSTR path) {
    const std::u16string_view whole = View(path);
    const size_t split = whole.find_last_of(u"\\/");
    return std::u16string(split == std::u16string_view::npos ? whole : whole.substr(split + 1));
}

std::u16string ReadText(HKEY key, const char16_t* value) {
    WCHAR text[MAX_PATH + 1] = {};
    DWORD type = 0, size = sizeof(text) - sizeof(WCHAR);
    if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<LPBYTE>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return std::u16string(text);
}

LONG WriteText(HKEY key, const char16_t* value, const std::u16string& text) {
    return RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

// Every printer of the driver, by name.
std::vector<std::u16string> PrintersOf(std::u16string_view driver) {
    std::lock_guard guard(StoreLock());
    std::vector<std::u16string> names;
    Statement s("SELECT name, driver FROM printers ORDER BY id");
    while (s.Step())
        if (EqualNoCase(s.Text(1), driver)) names.push_back(s.Text(0));
    return names;
}

} // namespace

std::optional<DriverRecord> FindDriver(std::u16string_view name) {
    if (name.empty()) return std::nullopt;
    const std::u16string path = kDriversKey + std::u16string(name);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DriverRecord driver;
    driver.name = std::u16string(name);
    driver.driverFile = ReadText(key, kDriverValue);
    driver.dataFile = ReadText(key, kDataFileValue);
    driver.configFile = ReadText(key, kConfigFileValue);
    DWORD type = 0, size = sizeof(driver.version);
    RegQueryValueExW(key, kVersionValue, nullptr, &type, reinterpret_cast<LPBYTE>(&driver.version), &size);
    RegCloseKey(key);
    return driver;
}

} // namespace host

extern "C" {

// Level 3 begins with the fields of level 2 and adds the help file, the dependent files, the language
// monitor and the default data type; a level-3 driver may have no configuration interface.
BOOL AddPrinterDriverW(LPWSTR, DWORD level, LPBYTE driverInfo) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (level != 2 && level != 3) return host::Fail(ERROR_INVALID_LEVEL);
        const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(driverInfo);
        const auto* info3 = level == 3 ? reinterpret_cast<const DRIVER_INFO_3W*>(driverInfo) : nullptr;
        if (!info || !info->pName || !*info->pName || !info->pDriverPath || !*info->pDriverPath ||
            (level == 2 && (!info->pConfigFile || !*info->pConfigFile)))
            return host::Fail(ERROR_INVALID_PARAMETER);
        if (!host::ProcessIsAdministrator()) return host::Fail(ERROR_ACCESS_DENIED);
        if (info3 && !host::View(info3->pMonitorName).empty()) {
            const std::u16string monitorKey = host::kMonitorsKey + std::u16string(info3->pMonitorName);
            HKEY monitor = nullptr;
            const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, monitorKey.c_str(), 0, KEY_READ, &monitor);
            if (opened == ERROR_FILE_NOT_FOUND) return host::Fail(ERROR_UNKNOWN_PRINT_MONITOR);
            if (opened != ERROR_SUCCESS) return host::Fail(static_cast<DWORD>(opened));
            RegCloseKey(monitor);
        }
        const std::u16string name = info->pName;
        const bool upgrade = host::FindDriver(name).has_value();
        const std::u16string path = host::kDriversKey + name;
        HKEY key = nullptr;
        LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS) return host::Fail(static_cast<DWORD>(rc));
        // The configuration file last: a driver whose key holds it is installed whole.
        rc = host::WriteText(key, host::kDriverValue, host::FileName(info->pDriverPath));
        if (rc == ERROR_SUCCESS) rc = host::WriteText(key, host::kDataFileValue, host::FileName(info->pDataFile));
        if (rc == ERROR_SUCCESS)
            rc = RegSetValueExW(key, host::kVersionValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&info->cVersion),
                                sizeof(info->cVersion));
        if (rc == ERROR_SUCCESS && info3) {
            rc = host::WriteText(key, host::kHelpFileValue, std::u16string(host::View(info3->pHelpFile)));
            if (rc == ERROR_SUCCESS)
                rc = host::WriteText(key, host::kMonitorValue, std::u16string(host::View(info3->pMonitorName)));
            if (rc == ERROR_SUCCESS)
                rc = host::WriteText(key, host::kDatatypeValue, std::u16string(host::View(info3->pDefaultDataType)));
        } else if (rc == ERROR_SUCCESS) {
            RegDeleteValueW(key, host::kMonitorValue); // a driver installed at level 2 names no monitor
        }
        if (rc == ERROR_SUCCESS) rc = host::WriteText(key, host::kConfigFileValue, host::FileName(info->pConfigFile));
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return host::Fail(static_cast<DWORD>(rc));
        // A driver installed again over itself: every printer of it hears of the new version.
        if (upgrade)
            for (const std::u16string& printer : host::PrintersOf(name)) host::UpgradePrinter(name, printer);
        return TRUE;
    });
}

BOOL GetPrinterDriverW(HANDLE printer, LPWSTR, DWORD level, LPBYTE driverInfo, DWORD size, LPDWORD needed) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (needed) *needed = 0;
        auto handle = host::FindPrinterHandle(printer);
        if (!handle) return FALSE;
        if (level != 2) return host::Fail(ERROR_INVALID_LEVEL);
        if (!needed) return host::Fail(ERROR_INVALID_PARAMETER);
        std::optional<host::PrinterRecord> record;
        {
            std::lock_guard guard(host::StoreLock());
            record = host::LoadPrinter(handle->printerId);
        }
        if (!record) return host::Fail(ERROR_INVALID_PRINTER_NAME);
        const std::optional<host::DriverRecord> driver = host::FindDriver(record->driver);
        if (!driver) return host::Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
        const std::u16string folder = host::DriverDirectory();
        host::InfoPacker packer(sizeof(DRIVER_INFO_2W));
        const size_t name = packer.AddString(driver->name), environment = packer.AddString(u"Windows NT x86"),
                     path = packer.AddString(folder + driver->driverFile),
                     data = driver->dataFile.empty() ? host::InfoPacker::kNone
                                                     : packer.AddString(folder + driver->dataFile),
                     config = packer.AddString(folder + driver->configFile);
        *needed = static_cast<DWORD>(packer.Needed());
        if (!driverInfo || size < packer.Needed()) return host::Fail(ERROR_INSUFFICIENT_BUFFER);
        packer.CopyInto(driverInfo);
        auto* info = reinterpret_cast<DRIVER_INFO_2W*>(driverInfo);
        *info = DRIVER_INFO_2W{};
        info->cVersion = driver->version;
        info->pName = host::InfoPacker::At<WCHAR>(driverInfo, name);
        info->pEnvironment = host::InfoPacker::At<WCHAR>(driverInfo, environment);
        info->pDriverPath = host::InfoPacker::At<WCHAR>(driverInfo, path);
        info->pDataFile = host::InfoPacker::At<WCHAR>(driverInfo, data);
        info->pConfigFile = host::InfoPacker::At<WCHAR>(driverInfo, config);
        return TRUE;
    });
}

} // extern "C"
