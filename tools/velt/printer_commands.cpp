// velt printer add|set|list|remove: the spooler's printers of the driver, as a user sets them up.
#include <nlohmann/json.hpp>

#include <memory>
#include <optional>

#include "command_line.h"
#include "installation.h"
#include "option_values.h"
#include "printer_setup.h"
#include "subcommands.h"

namespace velt {
namespace {

struct PrinterOptions {
    std::string name;
    std::string port;
    std::optional<bool> bidi, offline;
    bool json = false;
};

const std::vector<Choice<bool>> kOnOff = {{"on", true}, {"off", false}};

const char* OnOff(bool on) { return on ? "on" : "off"; }

// An open printer (null when it did not open) and its level-2 information.
struct OpenedPrinter {
    explicit OpenedPrinter(const std::string& name, ACCESS_MASK access) {
        std::u16string wide = HostWide(name);
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
        if (!OpenPrinterW(wide.data(), &handle, &defaults)) handle = nullptr;
    }
    ~OpenedPrinter() {
        if (handle) ClosePrinter(handle);
    }
    OpenedPrinter(const OpenedPrinter&) = delete;
    OpenedPrinter& operator=(const OpenedPrinter&) = delete;

    PRINTER_INFO_2W* Info() {
        DWORD needed = 0;
        GetPrinterW(handle, 2, nullptr, 0, &needed);
        info.assign(needed, 0);
        if (needed < sizeof(PRINTER_INFO_2W) || !GetPrinterW(handle, 2, info.data(), needed, &needed)) return nullptr;
        return reinterpret_cast<PRINTER_INFO_2W*>(info.data());
    }

    HANDLE handle = nullptr;
    std::vector<BYTE> info;
};

int NoSuchPrinter(const std::string& command, const std::string& name, std::ostream& err) {
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) {
        err << "velt printer " << command << ": the printer \"" << name
            << "\" may only be changed by an administrator\n";
        return EXIT_SYSTEM_ERROR;
    }
    err << "velt printer " << command << ": there is no printer \"" << name << "\"\n";
    return EXIT_INPUT_ERROR;
}

std::string Narrow(LPCWSTR text) { return text ? HostNarrow(text) : std::string(); }

nlohmann::json Describe(const PRINTER_INFO_2W& info) {
    return {{"name", Narrow(info.pPrinterName)},
            {"driver", Narrow(info.pDriverName)},
            {"port", Narrow(info.pPortName)},
            {"bidi", (info.Attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI) != 0},
            {"offline", (info.Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) != 0},
            {"jobs", info.cJobs}};
}

void Show(const PRINTER_INFO_2W& info, std::ostream& out) {
    out << '"' << Narrow(info.pPrinterName) << "\": driver \"" << Narrow(info.pDriverName) << "\", port "
        << Narrow(info.pPortName) << ", bidi " << OnOff(info.Attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI) << ", offline "
        << OnOff(info.Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) << ", " << info.cJobs
        << (info.cJobs == 1 ? " job" : " jobs") << '\n';
}

int Add(const PrinterOptions& o, std::ostream& out, std::ostream& err) {
    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    const std::u16string port = o.port.empty() ? std::u16string(DEFAULT_PORT) : HostWide(o.port);
    if (!EnsureDriver("velt printer add", err)) return EXIT_SYSTEM_ERROR;
    const DWORD error = AddDriverPrinter(HostWide(o.name), port, o.bidi.value_or(false));
    if (error != ERROR_SUCCESS) return ReportAddFailure("velt printer add", HostWide(o.name), error, err);
    out << "added printer \"" << o.name << "\" (driver \"" << HostNarrow(DRIVER_NAME) << "\", port "
        << HostNarrow(port.c_str()) << ", bidi " << OnOff(o.bidi.value_or(false)) << ")\n";
    return EXIT_OK;
}

int Set(const PrinterOptions& o, std::ostream& out, std::ostream& err) {
    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    OpenedPrinter printer(o.name, PRINTER_ALL_ACCESS);
    if (!printer.handle) return NoSuchPrinter("set", o.name, err);
    PRINTER_INFO_2W* info = printer.Info();
    if (!info) {
        err << "velt printer set: cannot read the printer \"" << o.name << "\" (error " << GetLastError() << ")\n";
        return EXIT_SYSTEM_ERROR;
    }
    auto apply = [info](const std::optional<bool>& on, DWORD attribute) {
        if (on) info->Attributes = *on ? (info->Attributes | attribute) : (info->Attributes & ~attribute);
    };
    apply(o.bidi, PRINTER_ATTRIBUTE_ENABLE_BIDI);
    apply(o.offline, PRINTER_ATTRIBUTE_WORK_OFFLINE);
    if ((o.bidi || o.offline) && !SetPrinterW(printer.handle, 2, printer.info.data(), 0)) {
        err << "velt printer set: cannot change the printer \"" << o.name << "\" (error " << GetLastError() << ")\n";
        return EXIT_SYSTEM_ERROR;
    }
    info = printer.Info();
    if (info) Show(*info, out);
    return EXIT_OK;
}

int List(const PrinterOptions& o, std::ostream& out, std::ostream& err) {
    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    DWORD needed = 0, returned = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    if (needed && !EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &returned)) {
        err << "velt printer list: cannot list the printers (error " << GetLastError() << ")\n";
        return EXIT_SYSTEM_ERROR;
    }
    nlohmann::json printers = nlohmann::json::array();
    for (DWORD i = 0; i < returned; ++i) {
        const auto* entry = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data()) + i;
        OpenedPrinter printer(Narrow(entry->pPrinterName), PRINTER_ACCESS_USE);
        const PRINTER_INFO_2W* info = printer.handle ? printer.Info() : nullptr;
        if (!info) continue; // gone since the list was made
        if (o.json)
            printers.push_back(Describe(*info));
        else
            Show(*info, out);
    }
    if (o.json) out << printers.dump(2) << '\n';
    return EXIT_OK;
}

int Remove(const PrinterOptions& o, std::ostream& out, std::ostream& err) {
    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    OpenedPrinter printer(o.name, PRINTER_ALL_ACCESS);
    if (!printer.handle) return NoSuchPrinter("remove", o.name, err);
    if (!DeletePrinter(printer.handle)) {
        err << "velt printer remove: cannot remove the printer \"" << o.name << "\" (error " << GetLastError() << ")\n";
        return EXIT_SYSTEM_ERROR;
    }
    out << "removed printer \"" << o.name << "\"\n";
    return EXIT_OK;
}

void NameArgument(CLI::App& app, PrinterOptions* o) {
    app.add_option("NAME", o->name, "the printer's name")->required();
}

} // namespace

void RegisterPrinter(CommandLine& velt) {
    auto o = std::make_shared<PrinterOptions>();
    CLI::App& printer = velt.Add("printer", "add, change, list and remove the printers of the driver", nullptr);

    CLI::App& add = velt.AddTo(printer, "add", "add a printer of the driver \"VELT K9x\" on a port",
                               [o](std::ostream& out, std::ostream& err) { return Add(*o, out, err); });
    NameArgument(add, o.get());
    AddText(add, "--port", "PORT", &o->port, "the port the printer is on (default: USB001)");
    AddChoice(add, "--bidi", kOnOff, &o->bidi,
              "on: the printer answers its status and configuration over the port; default: off");

    CLI::App& set = velt.AddTo(printer, "set", "change whether a printer talks back and whether it works offline",
                               [o](std::ostream& out, std::ostream& err) { return Set(*o, out, err); });
    NameArgument(set, o.get());
    AddChoice(set, "--bidi", kOnOff, &o->bidi, "on: the printer answers its status over the port; off: it doesn't");
    AddChoice(set, "--offline", kOnOff, &o->offline,
              "on: jobs wait in the queue until the printer works online again; off: they print");

    CLI::App& list = velt.AddTo(printer, "list", "list the printers with their driver, port and state",
                                [o](std::ostream& out, std::ostream& err) { return List(*o, out, err); });
    list.add_flag("--json", o->json, "one JSON array of the printers (name, driver, port, bidi, offline, jobs)");

    CLI::App& remove = velt.AddTo(printer, "remove", "remove a printer and the jobs in its queue",
                                  [o](std::ostream& out, std::ostream& err) { return Remove(*o, out, err); });
    NameArgument(remove, o.get());
}

} // namespace velt
