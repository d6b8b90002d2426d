// Print monitors and printer drivers as the spooler keeps them in the registry, and the language
// monitors it loads: AddMonitorW records a monitor's module under the monitors' key, AddPrinterDriverW
// records a driver (and the language monitor it names) under the drivers' key; a printer's jobs go
// through its driver's monitor, whose InitializePrintMonitor runs once per process with the monitor's
// own key as its registry root.
#include <map>
#include <mutex>
#include <string>

#include <libloaderapi.h>
#include <winreg.h>
#include "host/testing.h"
#include "kernel/internal.h"
#include "spooler/internal.h"

namespace host {

namespace {

constexpr char16_t kMonitorsKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
constexpr char16_t kDriversKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\";

using InitializePrintMonitorFn = LPMONITOREX(WINAPI*)(LPWSTR registryRoot);

class Key {
public:
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    LONG Create(const std::u16string& path) {
        return RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                               nullptr, &key_, nullptr);
    }
    LONG Open(const std::u16string& path) {
        return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key_);
    }
    LONG SetText(LPCWSTR name, std::u16string_view text) {
        const std::u16string value(text);
        return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
    }
    // A text value without its terminator; empty when it is missing.
    std::u16string Text(LPCWSTR name) const {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return {};
        std::u16string value(size / sizeof(char16_t) + 1, u'\0');
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<LPBYTE>(value.data()), &size) !=
            ERROR_SUCCESS)
            return {};
        value.resize(std::u16string_view(value.c_str()).size());
        return value;
    }

private:
    HKEY key_ = nullptr;
};

// The spooler's own names: not empty, no backslash (they become registry key names).
bool ValidName(LPCWSTR name) {
    const std::u16string_view text = View(name);
    return !text.empty() && text.size() <= 260 && text.find(u'\\') == std::u16string_view::npos;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Language monitors loaded in this process, by folded name; each is initialised once and stays loaded.
struct LoadedMonitors {
    std::mutex lock;
    std::map<std::u16string, const MONITOR*> tables;
};

LoadedMonitors& Loaded() {
    static auto* loaded = new LoadedMonitors;
    return *loaded;
}

// Loads the monitor and runs its InitializePrintMonitor; null with the last error when it can't.
const MONITOR* LoadMonitor(const std::u16string& name) {
    const std::u16string root = kMonitorsKey + name;
    Key key;
    if (key.Open(root) != ERROR_SUCCESS) {
        SetLastError(ERROR_UNKNOWN_PRINT_MONITOR);
        return nullptr;
    }
    const std::u16string module = key.Text(u"Driver");
    if (module.empty()) {
        SetLastError(ERROR_UNKNOWN_PRINT_MONITOR);
        return nullptr;
    }
    HMODULE library = LoadLibraryW(module.c_str());
    if (!library) return nullptr;
    auto initialize = reinterpret_cast<InitializePrintMonitorFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "InitializePrintMonitor")));
    if (!initialize) {
        FreeLibrary(library);
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    std::u16string rootArgument = root;
    LPMONITOREX monitor = initialize(rootArgument.data());
    if (!monitor || monitor->dwMonitorSize < sizeof(MONITOR)) {
        if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_INVALID_PRINT_MONITOR);
        FreeLibrary(library);
        return nullptr;
    }
    return &monitor->Monitor; // the module stays loaded: the table is its static data
}

} // namespace

bool LanguageMonitorFor(const PrinterRecord& printer, const MONITOR** table) {
    *table = nullptr;
    std::u16string monitor;
    {
        Key driver;
        if (driver.Open(kDriversKey + printer.driver) == ERROR_SUCCESS) monitor = driver.Text(u"Monitor");
    }
    if (monitor.empty()) return true;
    LoadedMonitors& loaded = Loaded();
    std::lock_guard guard(loaded.lock);
    const std::u16string fold = FoldCase(monitor);
    if (auto found = loaded.tables.find(fold); found != loaded.tables.end()) {
        *table = found->second;
        return true;
    }
    const MONITOR* loadedTable = LoadMonitor(monitor);
    if (!loadedTable) return false;
    loaded.tables.emplace(fold, loadedTable);
    *table = loadedTable;
    return true;
}

MONITOR* PortMonitorBeneath() {
    // A copy the language monitor may hold on to (it receives a non-const table).
    static auto* table = new MONITOR(*HostPortMonitor());
    return table;
}

} // namespace host

extern "C" {

BOOL AddMonitorW(LPWSTR, DWORD level, LPBYTE monitorInfo) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (level != 2) return host::Fail(ERROR_INVALID_LEVEL);
        const auto* info = reinterpret_cast<const MONITOR_INFO_2W*>(monitorInfo);
        if (!info || !host::ValidName(info->pName) || host::View(info->pDLLName).empty())
            return host::Fail(ERROR_INVALID_PARAMETER);
        host::Key key;
        if (LONG rc = key.Create(host::kMonitorsKey + std::u16string(info->pName)); rc != ERROR_SUCCESS)
            return host::Fail(static_cast<DWORD>(rc));
        if (LONG rc = key.SetText(u"Driver", info->pDLLName); rc != ERROR_SUCCESS)
            return host::Fail(static_cast<DWORD>(rc));
        return TRUE;
    });
}

} // extern "C"
