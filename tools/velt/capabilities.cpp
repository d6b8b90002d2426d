// velt capabilities [--printer NAME] [--json]: every capability the driver answers, asked as an
// application asks: through DrvDeviceCapabilities of the printer's configuration interface, first
// for the count, then with a buffer for the list.
#include <nlohmann/json.hpp>

#include <memory>

#include "command_line.h"
#include "installation.h"
#include "option_values.h"
#include "subcommands.h"

namespace velt {
namespace {

using DeviceCapabilities = DWORD(APIENTRY*)(HANDLE, PWSTR, WORD, PVOID, PDEVMODEW);

struct CapabilitiesOptions {
    std::string printer;
    bool json = false;
};

// DC_PAPERNAMES and DC_FILEDEPENDENCIES give each name a slot of 64 characters, DC_BINNAMES one of 24.
constexpr size_t kNameSlotChars = 64;

enum class Shape { Number, Words, Points, Pair, Names };

struct Capability {
    WORD index;
    const char* key; // the capability's name without DC_, lower case
    Shape shape;
    size_t itemBytes; // bytes of one listed item
};

const Capability kCapabilities[] = {
    {DC_FIELDS, "fields", Shape::Number, 0},
    {DC_PAPERS, "papers", Shape::Words, sizeof(WORD)},
    {DC_PAPERSIZE, "papersize", Shape::Points, sizeof(POINT)},
    {DC_MINEXTENT, "minextent", Shape::Pair, 0},
    {DC_MAXEXTENT, "maxextent", Shape::Pair, 0},
    {DC_BINS, "bins", Shape::Words, sizeof(WORD)},
    {DC_DUPLEX, "duplex", Shape::Number, 0},
    {DC_SIZE, "size", Shape::Number, 0},
    {DC_EXTRA, "extra", Shape::Number, 0},
    {DC_VERSION, "version", Shape::Number, 0},
    {DC_DRIVER, "driver", Shape::Number, 0},
    {DC_BINNAMES, "binnames", Shape::Names, 24 * sizeof(WCHAR)},
    {DC_ENUMRESOLUTIONS, "enumresolutions", Shape::Points, 2 * sizeof(LONG)},
    {DC_FILEDEPENDENCIES, "filedependencies", Shape::Names, kNameSlotChars * sizeof(WCHAR)},
    {DC_TRUETYPE, "truetype", Shape::Number, 0},
    {DC_PAPERNAMES, "papernames", Shape::Names, kNameSlotChars * sizeof(WCHAR)},
    {DC_ORIENTATION, "orientation", Shape::Number, 0},
    {DC_COPIES, "copies", Shape::Number, 0},
    {DC_COLLATE, "collate", Shape::Number, 0},
    {DC_COLORDEVICE, "colordevice", Shape::Number, 0},
    {DC_NUP, "nup", Shape::Number, 0},
};

// The printer's configuration interface, loaded from the path its driver names.
class Interface {
public:
    ~Interface() {
        if (module_) FreeLibrary(module_);
    }
    bool Load(HANDLE printer, std::string* problem) {
        DWORD needed = 0;
        GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
        std::vector<BYTE> info(needed);
        if (needed < sizeof(DRIVER_INFO_2W) || !GetPrinterDriverW(printer, nullptr, 2, info.data(), needed, &needed)) {
            *problem = "its driver is not installed (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        const auto* driver = reinterpret_cast<const DRIVER_INFO_2W*>(info.data());
        module_ = LoadLibraryW(driver->pConfigFile);
        if (!module_) {
            *problem = "its configuration interface " + HostNarrow(driver->pConfigFile) + " does not load (error " +
                       std::to_string(GetLastError()) + ")";
            return false;
        }
        ask_ = reinterpret_cast<DeviceCapabilities>(
            reinterpret_cast<void (*)()>(GetProcAddress(module_, "DrvDeviceCapabilities")));
        if (!ask_) *problem = "its configuration interface has no DrvDeviceCapabilities";
        return ask_ != nullptr;
    }
    DWORD Ask(HANDLE printer, std::u16string& name, WORD index, void* output) const {
        return ask_(printer, name.data(), index, output, nullptr);
    }

private:
    HMODULE module_ = nullptr;
    DeviceCapabilities ask_ = nullptr;
};

nlohmann::json Value(const Capability& c, DWORD answer, const std::vector<BYTE>& items) {
    switch (c.shape) {
    case Shape::Number: return answer;
    case Shape::Pair: return {LOWORD(answer), HIWORD(answer)};
    case Shape::Words: {
        nlohmann::json list = nlohmann::json::array();
        for (DWORD i = 0; i < answer; ++i) list.push_back(reinterpret_cast<const WORD*>(items.data())[i]);
        return list;
    }
    case Shape::Points: {
        nlohmann::json list = nlohmann::json::array();
        for (DWORD i = 0; i < answer; ++i) {
            const auto* pair = reinterpret_cast<const LONG*>(items.data()) + 2 * i;
            list.push_back({pair[0], pair[1]});
        }
        return list;
    }
    case Shape::Names: {
        nlohmann::json list = nlohmann::json::array();
        const size_t chars = c.itemBytes / sizeof(WCHAR);
        for (DWORD i = 0; i < answer; ++i) {
            const auto* slot = reinterpret_cast<const WCHAR*>(items.data()) + i * chars;
            std::u16string name(slot, chars);
            name.resize(name.find(u'\0') == std::u16string::npos ? chars : name.find(u'\0'));
            list.push_back(HostNarrow(name.c_str()));
        }
        return list;
    }
    }
    return nullptr;
}

std::string Text(const Capability& c, const nlohmann::json& value) {
    if (c.shape == Shape::Number) {
        if (c.index == DC_FIELDS) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%04X", value.get<unsigned>());
            return hex;
        }
        return value.dump();
    }
    std::string text;
    auto item = [](const nlohmann::json& v) {
        return v.is_array() ? v[0].dump() + " x " + v[1].dump() : v.is_string() ? v.get<std::string>() : v.dump();
    };
    if (c.shape == Shape::Pair) return item(value);
    for (const nlohmann::json& v : value) text += (text.empty() ? "" : ", ") + item(v);
    return text.empty() ? "(none)" : text;
}

int Capabilities(const CapabilitiesOptions& o, std::ostream& out, std::ostream& err) {
    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    std::u16string name = o.printer.empty() ? std::u16string(PRINTER_NAME) : HostWide(o.printer);
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW use{nullptr, nullptr, PRINTER_ACCESS_USE};
    if (!OpenPrinterW(name.data(), &printer, &use)) {
        err << "velt capabilities: there is no printer \"" << HostNarrow(name.c_str()) << "\"\n";
        return EXIT_INPUT_ERROR;
    }
    Interface ui;
    std::string problem;
    const bool loaded = ui.Load(printer, &problem);
    nlohmann::json answers = nlohmann::json::object();
    std::string lines;
    for (const Capability& c : kCapabilities) {
        if (!loaded) break;
        const DWORD count = ui.Ask(printer, name, c.index, nullptr);
        if (count == GDI_ERROR) continue; // not supported: left out
        std::vector<BYTE> items;
        if (c.itemBytes > 0) {
            // Room for what the count says, and never less than one item (DC_FILEDEPENDENCIES writes into
            // the buffer even when it lists nothing).
            items.assign(c.itemBytes * std::max<DWORD>(count, 1), 0);
            if (ui.Ask(printer, name, c.index, items.data()) != count) continue;
        }
        const nlohmann::json value = Value(c, count, items);
        answers[c.key] = value;
        lines += std::string(c.key) + ": " + Text(c, value) + '\n';
    }
    ClosePrinter(printer);
    if (!loaded) {
        err << "velt capabilities: cannot ask the printer \"" << HostNarrow(name.c_str()) << "\": " << problem << '\n';
        return EXIT_SYSTEM_ERROR;
    }
    out << (o.json ? answers.dump(2) + '\n' : lines);
    return EXIT_OK;
}

} // namespace

void RegisterCapabilities(CommandLine& velt) {
    auto o = std::make_shared<CapabilitiesOptions>();
    CLI::App& capabilities =
        velt.Add("capabilities", "show every capability the driver answers for a printer, as applications ask it",
                 [o](std::ostream& out, std::ostream& err) { return Capabilities(*o, out, err); });
    AddText(capabilities, "--printer", "NAME", &o->printer, "the printer to ask (default: \"VELT K9x\")");
    capabilities.add_flag("--json", o->json,
                          "one JSON object keyed by the capability names without DC_, in lower case; sizes in "
                          "tenths of a millimetre as [x, y] pairs");
}

} // namespace velt
