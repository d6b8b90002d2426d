#include "print_options.h"

#include <cstring>
#include <map>

namespace velt {
namespace {

// The platform's paper id of a size the application gives by its dimensions.
constexpr SHORT kUserDefinedPaper = 256;

// Millimetres with at most one decimal, as tenths; 1 to 32767 tenths.
bool ParseTenths(const std::string& text, SHORT* tenths) {
    long whole = 0, tenth = 0;
    size_t i = 0, digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        whole = whole * 10 + (text[i] - '0');
        if (whole > 3276) return false;
    }
    if (digits == 0) return false;
    if (i < text.size()) {
        if (text[i] != '.' || i + 2 != text.size() || text[i + 1] < '0' || text[i + 1] > '9') return false;
        tenth = text[i + 1] - '0';
    }
    long value = whole * 10 + tenth;
    if (value < 1 || value > 32767) return false;
    *tenths = static_cast<SHORT>(value);
    return true;
}

// One choice among named values.
bool Choose(const std::string& option, const std::string& value, const std::map<std::string, SHORT>& choices,
            std::optional<SHORT>* target, std::ostream& err) {
    auto it = choices.find(value);
    if (it == choices.end()) {
        err << "velt print: " << option << " takes ";
        const char* separator = "";
        for (const auto& [name, unused] : choices) {
            err << separator << name;
            separator = " or ";
        }
        err << ", not '" << value << "'\n";
        return false;
    }
    *target = it->second;
    return true;
}

} // namespace

bool ParsePaperSize(const std::string& text, SHORT* width, SHORT* length) {
    size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    return ParseTenths(text.substr(0, x), width) && ParseTenths(text.substr(x + 1), length);
}

bool ParsePrintOptions(int argc, char** argv, PrintOptions* options, std::ostream& err) {
    static const char* const kWithValue[] = {"--paper", "--orientation", "--color", "--sides", "--mode",
                                             "--cut",   "--spool",       "--preview", "--printer"};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options->pictures.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--fit") {
            options->fit = true;
            continue;
        }
        // "--name value" or "--name=value".
        std::string name = arg, value;
        size_t equals = arg.find('=');
        if (equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        bool known = false;
        for (const char* option : kWithValue) known = known || name == option;
        if (!known) {
            err << "velt print: unknown option '" << name << "'\n";
            return false;
        }
        if (equals == std::string::npos) {
            if (i + 1 >= argc) {
                err << "velt print: " << name << " needs a value\n";
                return false;
            }
            value = argv[++i];
        }
        if (name == "--paper") {
            SHORT width = 0, length = 0;
            if (!ParsePaperSize(value, &width, &length)) {
                err << "velt print: --paper takes WIDTHxLENGTH in millimetres (such as 80x150, at most 3276.7 "
                       "each), not '"
                    << value << "'\n";
                return false;
            }
            options->paperWidth = width;
            options->paperLength = length;
        } else if (name == "--orientation") {
            if (!Choose(name, value, {{"portrait", DMORIENT_PORTRAIT}, {"landscape", DMORIENT_LANDSCAPE}},
                        &options->orientation, err))
                return false;
        } else if (name == "--color") {
            if (!Choose(name, value, {{"mono", DMCOLOR_MONOCHROME}, {"2color", DMCOLOR_COLOR}}, &options->color, err))
                return false;
        } else if (name == "--sides") {
            if (!Choose(name, value, {{"single", DMDUP_SIMPLEX}, {"dual", DMDUP_VERTICAL}}, &options->duplex, err))
                return false;
        } else if (name == "--mode") {
            if (!Choose(name, value, {{"page", 0}, {"standard", 1}}, &options->pageModeControl, err)) return false;
        } else if (name == "--cut") {
            if (!Choose(name, value, {{"page", 0}, {"end", 1}}, &options->cuttingControl, err)) return false;
        } else if (value.empty()) {
            err << "velt print: " << name << " needs a value\n";
            return false;
        } else if (name == "--spool") {
            options->spoolFile = value;
        } else if (name == "--preview") {
            options->previewFolder = value;
        } else {
            options->printer = value;
        }
    }
    if (options->pictures.empty()) {
        err << "velt print: give at least one picture (PNG), one per page\n";
        return false;
    }
    return true;
}

void ApplyPrintOptions(const PrintOptions& options, DRIVER_DEVMODE* devmode) {
    DEVMODEW& dm = devmode->dmPublic;
    if (options.paperWidth && options.paperLength) {
        dm.dmPaperWidth = *options.paperWidth;
        dm.dmPaperLength = *options.paperLength;
        dm.dmPaperSize = kUserDefinedPaper;
        dm.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH | DM_PAPERSIZE;
    }
    if (options.orientation) {
        dm.dmOrientation = *options.orientation;
        dm.dmFields |= DM_ORIENTATION;
    }
    if (options.color) {
        dm.dmColor = *options.color;
        dm.dmFields |= DM_COLOR;
    }
    if (options.duplex) {
        dm.dmDuplex = *options.duplex;
        dm.dmFields |= DM_DUPLEX;
    }
    // The private part counts only with its signature.
    if (options.pageModeControl || options.cuttingControl) devmode->dmPrivSignature = PRIV_SIGNATURE;
    if (options.pageModeControl) devmode->dmPageModeControl = *options.pageModeControl;
    if (options.cuttingControl) devmode->dmCuttingControl = *options.cuttingControl;
}

} // namespace velt
