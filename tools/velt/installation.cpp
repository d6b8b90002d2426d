#include "installation.h"

#include <vector>

#include "custom_paper_list.h"
#include "driver_devmode.h"
#include "host/testing.h"
#include "printer_setup.h"
#include "subcommands.h"

namespace velt {
namespace {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    PHKEY Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class Printer {
public:
    explicit Printer(HANDLE handle = nullptr) : handle_(handle) {}
    ~Printer() {
        if (handle_) ClosePrinter(handle_);
    }
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;
    LPHANDLE Out() { return &handle_; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

std::string ErrorText(DWORD code) { return "error " + std::to_string(code); }

bool EnsureDotCount(std::optional<DWORD> wanted, InstallReport* report, std::ostream& err) {
    RegistryKey key;
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, CALVIX_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, key.Out(), &disposition);
    if (rc != ERROR_SUCCESS) {
        err << "velt: cannot create the registry key HKLM\\" << HostNarrow(CALVIX_KEY) << " (" << ErrorText(rc)
            << ")\n";
        return false;
    }
    report->createdKey = disposition == REG_CREATED_NEW_KEY;
    DWORD stored = 0, type = 0, size = sizeof stored;
    bool present = RegQueryValueExW(key.Get(), VERTICAL_DOT_COUNT, nullptr, &type, reinterpret_cast<LPBYTE>(&stored),
                                    &size) == ERROR_SUCCESS &&
                   type == REG_DWORD && size == sizeof stored;
    if (present && !wanted) {
        report->verticalDotCount = stored;
        return true;
    }
    DWORD value = wanted.value_or(DEFAULT_VERTICAL_DOT_COUNT);
    rc = RegSetValueExW(key.Get(), VERTICAL_DOT_COUNT, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value);
    if (rc != ERROR_SUCCESS) {
        err << "velt: cannot set " << HostNarrow(VERTICAL_DOT_COUNT) << " (" << ErrorText(rc) << ")\n";
        return false;
    }
    report->setDotCount = true;
    report->verticalDotCount = value;
    return true;
}

// The printer's default device mode, through its level-2 information.
bool SetDefaultDevmode(HANDLE printer, DRIVER_DEVMODE* devmode) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    if (needed < sizeof(PRINTER_INFO_2W) || !GetPrinterW(printer, 2, info.data(), needed, &needed)) return false;
    auto* level2 = reinterpret_cast<PRINTER_INFO_2W*>(info.data());
    level2->pDevMode = &devmode->dmPublic;
    return SetPrinterW(printer, 2, info.data(), 0) != FALSE;
}

// The paper list and default device mode of a new printer: every size the built-in one, except the
// first, which is the printer's default paper.
CUSTOM_PAPER_LIST DefaultPaperList() {
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    list.entries[0].width = DEFAULT_PAPER_WIDTH_MM;
    list.entries[0].length = DEFAULT_PAPER_LENGTH_MM;
    return list;
}

// The installed printer is added as velt printer add adds one (bidirectional, on the installation's
// port); then the installation gives it its own paper: the paper list and a default device mode with
// the 80 mm roll.
bool EnsurePrinter(InstallReport* report, std::ostream& err) {
    report->port = PreviewPortName();
    std::u16string name = PRINTER_NAME;
    Printer existing;
    PRINTER_DEFAULTSW use{nullptr, nullptr, PRINTER_ACCESS_USE};
    if (OpenPrinterW(name.data(), existing.Out(), &use)) return EnsureDriver("velt", err);

    if (AddDriverPrinter(name, report->port, true, "velt", err) != EXIT_OK) return false;
    Printer added;
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(name.data(), added.Out(), &all)) {
        err << "velt: cannot open the printer " << HostNarrow(PRINTER_NAME) << " (" << ErrorText(GetLastError())
            << ")\n";
        return false;
    }
    report->addedPrinter = true;

    // Portrait, mono, single side, page mode, cut after each page: the record's defaults.
    CUSTOM_PAPER_LIST papers = DefaultPaperList();
    DRIVER_DEVMODE devmode;
    DevmodeSetDefaults(&devmode, PRINTER_NAME);
    ChooseUserPaperSize(&devmode, &papers, 0);
    if (!WriteCustomPaperList(PRINTER_NAME, &papers) || !SetDefaultDevmode(added.Get(), &devmode)) {
        err << "velt: cannot store the paper of " << HostNarrow(PRINTER_NAME) << " (" << ErrorText(GetLastError())
            << ")\n";
        // Half an installation would never be completed: the next run starts again.
        DeletePrinter(added.Get());
        report->addedPrinter = false;
        return false;
    }
    return true;
}

} // namespace

bool OpenHostStore(std::ostream& err) {
    if (!HostUseStore(nullptr)) {
        err << "velt: cannot open the host's store in " << HostHomeFolder() << " (" << ErrorText(GetLastError())
            << ")\n";
        return false;
    }
    return true;
}

std::u16string PreviewPortName() { return u"VPRINTER:" + HostWide(HostHomeFolder() + "/preview"); }

bool EnsureInstallation(std::optional<DWORD> verticalDotCount, InstallReport* report, std::ostream& err) {
    return EnsureDotCount(verticalDotCount, report, err) && EnsurePrinter(report, err);
}

} // namespace velt
