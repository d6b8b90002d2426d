#include "installation.h"

#include <vector>

#include "custom_paper_list.h"
#include "driver_devmode.h"
#include "host/testing.h"
#include "printer_setup.h"
#include "port_backend.h"

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

bool EnsureDotCount(std::optional<DWORD> wanted, InstallReport* report, std::ostream& err) {
    RegistryKey key;
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, CALVIX_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, key.Out(), &disposition);
    if (rc != ERROR_SUCCESS) {
        err << "velt: cannot create the registry key HKLM\\" << HostNarrow(CALVIX_KEY) << ": " << ErrorText(rc) << "\n";
        return false;
    }
    report->createdKey = disposition == REG_CREATED_NEW_KEY;
    DWORD stored = 0, type = 0, size = sizeof stored;
    const LONG read =
        RegQueryValueExW(key.Get(), VERTICAL_DOT_COUNT, nullptr, &type, reinterpret_cast<LPBYTE>(&stored), &size);
    // Only a missing value is set anew: one that cannot be read now is kept for a later run.
    if (read != ERROR_SUCCESS && read != ERROR_FILE_NOT_FOUND && read != ERROR_MORE_DATA) {
        err << "velt: cannot read " << HostNarrow(VERTICAL_DOT_COUNT) << ": " << ErrorText(read) << "\n";
        return false;
    }
    bool present = read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof stored;
    if (present && !wanted) {
        report->verticalDotCount = stored;
        return true;
    }
    DWORD value = wanted.value_or(DEFAULT_VERTICAL_DOT_COUNT);
    rc = RegSetValueExW(key.Get(), VERTICAL_DOT_COUNT, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value);
    if (rc != ERROR_SUCCESS) {
        err << "velt: cannot set " << HostNarrow(VERTICAL_DOT_COUNT) << ": " << ErrorText(rc) << "\n";
        return false;
    }
    report->setDotCount = true;
    report->verticalDotCount = value;
    return true;
}

// The paper list and default device mode of a new printer: every size the built-in one, except the
// first, which is the printer's default paper.
CUSTOM_PAPER_LIST DefaultPaperList() {
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    list.entries[0].width = DEFAULT_PAPER_WIDTH_MM;
    list.entries[0].length = DEFAULT_PAPER_LENGTH_MM;
    return list;
}

// The printer's default device mode, through its level-2 information; false with the last error.
bool SetDefaultDevmode(HANDLE printer, DRIVER_DEVMODE* devmode) {
    DWORD needed = 0;
    if (!GetPrinterW(printer, 2, nullptr, 0, &needed) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    std::vector<BYTE> info(needed);
    if (needed < sizeof(PRINTER_INFO_2W) || !GetPrinterW(printer, 2, info.data(), needed, &needed)) return false;
    auto* level2 = reinterpret_cast<PRINTER_INFO_2W*>(info.data());
    level2->pDevMode = &devmode->dmPublic;
    return SetPrinterW(printer, 2, info.data(), 0) != FALSE;
}

// What the installation gives its printer beyond what velt printer add gives one: the paper list and a
// default device mode with the 80 mm roll (portrait, mono, single side, page mode, cut after each page:
// the record's defaults).
bool StoreInstallationPaper(HANDLE printer, std::ostream& err) {
    CUSTOM_PAPER_LIST papers = DefaultPaperList();
    DRIVER_DEVMODE devmode;
    DevmodeSetDefaults(&devmode, PRINTER_NAME);
    ChooseUserPaperSize(&devmode, &papers, 0);
    if (!SetDefaultDevmode(printer, &devmode)) {
        err << "velt: cannot store the paper of " << HostNarrow(PRINTER_NAME) << ": " << ErrorText(GetLastError())
            << "\n";
        return false;
    }
    // The paper list last: its presence says that the installation is whole.
    if (!WriteCustomPaperList(PRINTER_NAME, &papers)) {
        err << "velt: cannot store the paper list of " << HostNarrow(PRINTER_NAME) << ": " << ErrorText(GetLastError())
            << "\n";
        return false;
    }
    return true;
}

// The installed printer is added as velt printer add adds one (bidirectional, on the installation's
// port), then given the installation's paper.
bool EnsurePrinter(InstallReport* report, std::ostream& err) {
    report->port = PrinterPortName();
    if (!EnsureDriver("velt", err)) return false;
    std::u16string name = PRINTER_NAME;
    Printer existing;
    PRINTER_DEFAULTSW use{nullptr, nullptr, PRINTER_ACCESS_USE}, all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    const bool opened = OpenPrinterW(name.data(), existing.Out(), &use) != FALSE;
    if (!opened && GetLastError() != ERROR_INVALID_PRINTER_NAME) {
        err << "velt: cannot open the printer " << HostNarrow(PRINTER_NAME) << ": " << ErrorText(GetLastError())
            << "\n";
        return false;
    }
    if (opened) {
        // A run stopped between adding the printer and storing its paper left half an installation:
        // the paper is stored now.
        std::u16string value = u"CustomPaperList";
        DWORD type = 0, needed = 0;
        const DWORD read = GetPrinterDataW(existing.Get(), value.data(), &type, nullptr, 0, &needed);
        if (read == ERROR_SUCCESS || read == ERROR_MORE_DATA) return true;
        if (read != ERROR_FILE_NOT_FOUND) {
            err << "velt: cannot read the paper list of " << HostNarrow(PRINTER_NAME) << ": " << ErrorText(read)
                << "\n";
            return false;
        }
        Printer repaired;
        if (!OpenPrinterW(name.data(), repaired.Out(), &all)) {
            err << "velt: cannot open the printer " << HostNarrow(PRINTER_NAME) << ": " << ErrorText(GetLastError())
                << "\n";
            return false;
        }
        if (!StoreInstallationPaper(repaired.Get(), err)) return false;
        report->repairedPrinter = true;
        return true;
    }

    const DWORD error = AddDriverPrinter(name, report->port, true);
    // Another velt added it in the meantime: that installation is the one kept.
    if (error == ERROR_PRINTER_ALREADY_EXISTS) return true;
    if (error != ERROR_SUCCESS) {
        err << "velt: cannot add the printer " << HostNarrow(PRINTER_NAME) << ": " << ErrorText(error) << "\n";
        return false;
    }
    Printer added;
    if (!OpenPrinterW(name.data(), added.Out(), &all)) {
        err << "velt: cannot open the printer " << HostNarrow(PRINTER_NAME) << ": " << ErrorText(GetLastError())
            << "\n";
        return false;
    }
    report->addedPrinter = true;
    if (!StoreInstallationPaper(added.Get(), err)) {
        // Half an installation would never be completed: the next run starts again.
        DeletePrinter(added.Get());
        report->addedPrinter = false;
        return false;
    }
    return true;
}

} // namespace

// The cause of a failed call in words; a failure of the host's store names the state folder too.
std::string ErrorText(DWORD code) {
    const std::string number = "error " + std::to_string(code);
    const std::string folder = " in the state folder " + HostHomeFolder() + " (" + number + ")";
    switch (code) {
    case ERROR_DISK_FULL: return "the disk is full" + folder;
    case ERROR_WRITE_PROTECT:
    case ERROR_ACCESS_DENIED: return "the state folder cannot be written" + folder;
    case ERROR_FILE_CORRUPT: return "the store is damaged" + folder;
    case ERROR_BUSY: return "the store is busy in another process" + folder;
    case ERROR_WRITE_FAULT:
    case ERROR_CANTWRITE: return "the store could not be written" + folder;
    default: return number;
    }
}

bool OpenHostStore(std::ostream& err) {
    if (!HostUseStore(nullptr)) {
        err << "velt: cannot open the host's store in " << HostHomeFolder() << ": " << ErrorText(GetLastError())
            << "\n";
        return false;
    }
    return true;
}

std::u16string PrinterPortName() { return PRINTER_PORT; }

std::string VirtualPrinterFolder(const std::u16string& port) {
    return HostHomeFolder() + "/vprinter/" + HostNarrow(port.c_str());
}

bool AttachVirtualPrinters(std::ostream& err) {
    if (!vprinter::RegisterVirtualPrinterBackend()) {
        err << "velt: the host refused the virtual printer's ports\n";
        return false;
    }
    // A port attached elsewhere (a device node) stays so; a new installation's port gets its printer.
    std::u16string target;
    if (HostPortAttachment(PRINTER_PORT, &target)) return true;
    if (!vprinter::AttachVirtualPrinter(PRINTER_PORT, VirtualPrinterFolder(PRINTER_PORT))) {
        err << "velt: cannot attach the port " << HostNarrow(PRINTER_PORT)
            << " to its virtual printer: " << ErrorText(GetLastError()) << "\n";
        return false;
    }
    return true;
}

bool EnsureInstallation(std::optional<DWORD> verticalDotCount, InstallReport* report, std::ostream& err) {
    report->throughMonitor = MonitorModulePresent();
    return EnsureDotCount(verticalDotCount, report, err) && AttachVirtualPrinters(err) && EnsurePrinter(report, err);
}

} // namespace velt
