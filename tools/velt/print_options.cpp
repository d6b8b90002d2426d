#include "print_options.h"

#include "option_values.h"

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

} // namespace

bool ParsePaperSize(const std::string& text, SHORT* width, SHORT* length) {
    size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    return ParseTenths(text.substr(0, x), width) && ParseTenths(text.substr(x + 1), length);
}

void AddPrintOptions(CLI::App& print, PrintOptions* options) {
    auto paper = [options](const std::string& text) {
        SHORT width = 0, length = 0;
        if (!ParsePaperSize(text, &width, &length))
            throw UsageError("--paper takes WIDTHxLENGTH in millimetres (such as 80x150, at most 3276.7 each), not '" +
                             text + "'");
        options->paperWidth = width;
        options->paperLength = length;
    };
    AddConverted(print, "--paper", "WxL", paper,
                 "the paper's width and length in millimetres, each with at most one decimal (80x150, 58x72.5); "
                 "default: the printer's paper");
    AddChoice<SHORT>(print, "--orientation", {{"portrait", DMORIENT_PORTRAIT}, {"landscape", DMORIENT_LANDSCAPE}},
                     &options->orientation,
                     "portrait: the page upright on the paper; landscape: the page turned a quarter, its width "
                     "along the roll; default: the printer's setting");
    AddChoice<SHORT>(print, "--color", {{"mono", DMCOLOR_MONOCHROME}, {"2color", DMCOLOR_COLOR}}, &options->color,
                     "mono: red is dithered in black; 2color: red prints red, on two-colour paper; default: the "
                     "printer's setting");
    AddChoice<SHORT>(print, "--sides", {{"single", DMDUP_SIMPLEX}, {"dual", DMDUP_VERTICAL}}, &options->duplex,
                     "single: every page on the front of the paper; dual: the pages in pairs on the front and back "
                     "of one sheet (dual-side models); default: the printer's setting");
    AddChoice<SHORT>(print, "--mode", {{"page", 0}, {"standard", 1}}, &options->pageModeControl,
                     "page: each page is laid out in a print area and printed whole; standard: the page is printed "
                     "row by row as it comes; default: the printer's setting");
    AddChoice<SHORT>(print, "--cut", {{"page", 0}, {"end", 1}}, &options->cuttingControl,
                     "page: the knife cuts after each page; end: once, after the last page; default: the printer's "
                     "setting");
    print.add_flag("--fit", options->fit,
                   "scale each picture to the printable width, keeping its proportions, instead of one pixel per dot");
    AddText(print, "--spool", "FILE", &options->spoolFile,
            "also write the job's byte stream, exactly as the driver wrote it to the spooler, to FILE");
    AddText(print, "--preview", "DIR", &options->previewFolder,
            "also decode the job with the virtual printer into pictures of the paper: DIR/piece-001.png, ... (one "
            "per cut piece)");
    AddText(print, "--printer", "NAME", &options->printer,
            "the printer to print on (default: \"VELT K9x\", which the first print installs)");
    print.add_option("PICTURE", options->pictures,
                     "PNG pictures, one per page, each placed at the top left of the printable area one pixel per "
                     "dot");
    print.callback([options] {
        if (options->pictures.empty()) throw UsageError("give at least one picture (PNG), one per page");
    });
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
