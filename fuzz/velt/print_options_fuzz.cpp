// Arbitrary command lines through velt print's option parser, and arbitrary texts through its paper
// size parser: every line is either refused with a message or gives options whose device mode fields
// are the record's own values.
//
// Input: the arguments after "velt print", separated by zero bytes.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "print_options.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args;
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    args.push_back(current);

    SHORT width = 0, length = 0;
    if (velt::ParsePaperSize(args.front(), &width, &length)) Require(width > 0 && length > 0);

    CLI::App print("print");
    velt::PrintOptions options;
    velt::AddPrintOptions(print, &options);
    std::vector<std::string> reversed(args.rbegin(), args.rend()); // CLI11 takes the arguments last first
    try {
        print.parse(reversed);
    } catch (const CLI::Error& refused) {
        // CLI11's own refusals and velt's (UsageError) alike say what was wrong.
        Require(std::string(refused.what()).size() > 0 || refused.get_exit_code() == 0);
        return 0;
    }
    DRIVER_DEVMODE devmode;
    DevmodeSetDefaults(&devmode, TEXT("VELT K9x"));
    velt::ApplyPrintOptions(options, &devmode);
    const DEVMODEW& pub = devmode.dmPublic;
    Require(pub.dmOrientation == DMORIENT_PORTRAIT || pub.dmOrientation == DMORIENT_LANDSCAPE);
    Require(pub.dmColor == DMCOLOR_MONOCHROME || pub.dmColor == DMCOLOR_COLOR);
    Require(pub.dmDuplex == DMDUP_SIMPLEX || pub.dmDuplex == DMDUP_VERTICAL);
    Require(pub.dmPaperWidth > 0 && pub.dmPaperLength > 0);
    Require(devmode.dmPageModeControl == 0 || devmode.dmPageModeControl == 1);
    Require(devmode.dmCuttingControl == 0 || devmode.dmCuttingControl == 1);
    return 0;
}
