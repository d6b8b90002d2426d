// The spooler's side of a printer interface library: the configuration file of a printer's driver,
// loaded from the printer driver folder for each question, as the platform's spooler asks it for the
// driver's default device mode, tells it of a printer's set-up, deletion and upgrade, and asks it
// whether a job may print.
#include "kernel/internal.h"
#include "module/internal.h"
#include "platform.h"
#include "spooler/internal.h"

namespace host {

namespace {

constexpr char16_t kPrintersKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";

template <typename F>
F EntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The configuration interface of a driver, loaded while this lives.
class Interface {
public:
    explicit Interface(std::u16string_view driverName) {
        const std::optional<DriverRecord> driver = FindDriver(driverName);
        if (!driver || driver->configFile.empty()) return;
        const std::u16string path = DriverDirectory() + driver->configFile;
        module_ = LoadLibraryW(path.c_str());
    }
    ~Interface() {
        if (module_) FreeLibrary(module_);
    }
    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;

    template <typename F>
    F Find(const char* name) const {
        return module_ ? EntryPoint<F>(module_, name) : nullptr;
    }

private:
    HMODULE module_ = nullptr;
};

using ConvertDevMode = BOOL(APIENTRY*)(LPWSTR, PDEVMODEW, PDEVMODEW, PLONG, DWORD);
using PrinterEvent = BOOL(APIENTRY*)(LPWSTR, INT, DWORD, LPARAM);
using QueryPrint = BOOL(APIENTRY*)(PDEVQUERYPRINT_INFO);
using Upgrade = BOOL(APIENTRY*)(DWORD, LPBYTE);

} // namespace

std::vector<uint8_t> DriverDefaultDevmode(std::u16string_view driver, const std::u16string& printerName) {
    const Interface ui(driver);
    const auto convert = ui.Find<ConvertDevMode>("DrvConvertDevMode");
    if (!convert) return {};
    std::u16string name = printerName;
    LONG needed = 0;
    convert(name.data(), nullptr, nullptr, &needed, CDM_DRIVER_DEFAULT); // asks the size
    if (needed < static_cast<LONG>(sizeof(DEVMODEW)) || needed > 0x10000) return {};
    std::vector<uint8_t> record(static_cast<size_t>(needed));
    if (!convert(name.data(), nullptr, reinterpret_cast<PDEVMODEW>(record.data()), &needed, CDM_DRIVER_DEFAULT))
        return {};
    // Only the bytes the record says it has, and only a record the spooler would take in.
    std::vector<uint8_t> taken;
    if (!CopyDevmodeIn(reinterpret_cast<const DEVMODEW*>(record.data()), taken) || taken.size() > record.size())
        return {};
    return taken;
}

void SendPrinterEvent(std::u16string_view driver, const std::u16string& printerName, int event) {
    const Interface ui(driver);
    if (const auto send = ui.Find<PrinterEvent>("DrvPrinterEvent")) {
        std::u16string name = printerName;
        send(name.data(), event, PRINTER_EVENT_FLAG_NO_UI, 0);
    }
}

bool DriverAllowsJob(const PrinterRecord& printer, const std::vector<uint8_t>& devmode) {
    const Interface ui(printer.driver);
    const auto query = ui.Find<QueryPrint>("DevQueryPrintEx");
    if (!query) return true;
    std::u16string name = printer.name;
    HANDLE handle = nullptr;
    PRINTER_DEFAULTSW use{nullptr, nullptr, PRINTER_ACCESS_USE};
    if (!OpenPrinterW(name.data(), &handle, &use)) return true;
    std::vector<uint8_t> record = devmode; // the driver gets a copy of its own
    DEVQUERYPRINT_INFO info{sizeof(DEVQUERYPRINT_INFO),
                            1,
                            handle,
                            record.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(record.data()),
                            nullptr,
                            0,
                            0};
    const BOOL allowed = query(&info);
    ClosePrinter(handle);
    return allowed != FALSE;
}

void UpgradePrinter(std::u16string_view driver, const std::u16string& printerName) {
    const Interface ui(driver);
    if (const auto upgrade = ui.Find<Upgrade>("DrvUpgradePrinter")) {
        std::u16string name = printerName, folder = DriverDirectory();
        DRIVER_UPGRADE_INFO_1 info{name.data(), folder.data()};
        upgrade(1, reinterpret_cast<LPBYTE>(&info));
    }
}

void PrinterAdded(const PrinterRecord& printer) {
    const std::u16string path = kPrintersKey + printer.name;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
    SendPrinterEvent(printer.driver, printer.name, PRINTER_EVENT_INITIALIZE);
}

void PrinterDeleting(const PrinterRecord& printer) {
    SendPrinterEvent(printer.driver, printer.name, PRINTER_EVENT_DELETE);
    const std::u16string path = kPrintersKey + printer.name;
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str()); // the spooler's own key, whatever the driver did
}

} // namespace host
