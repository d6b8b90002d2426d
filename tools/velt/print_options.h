// The options of velt print and how they turn into the job's device mode, as an application's
// document settings would: the printer's default device mode with the chosen fields changed.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

#include "driver_devmode.h"

namespace velt {

struct PrintOptions {
    std::optional<SHORT> paperWidth, paperLength; // tenths of a millimetre
    std::optional<SHORT> orientation;             // DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE
    std::optional<SHORT> color;                   // DMCOLOR_MONOCHROME, DMCOLOR_COLOR
    std::optional<SHORT> duplex;                  // DMDUP_SIMPLEX, DMDUP_VERTICAL (both sides of the paper)
    std::optional<SHORT> pageModeControl;         // 0 page mode, 1 standard mode
    std::optional<SHORT> cuttingControl;          // 0 each page, 1 end of document
    bool fit = false;
    std::string spoolFile;
    std::string previewFolder;
    std::string printer;
    std::vector<std::string> pictures;
};

// Declares velt print's options and pictures on its subcommand, each converted into `options`.
void AddPrintOptions(CLI::App& print, PrintOptions* options);

// Millimetres "W x L" (each with at most one decimal) as tenths: "80x150", "58X72.5".
bool ParsePaperSize(const std::string& text, SHORT* width, SHORT* length);

// Changes the fields the options name, and marks them valid in dmFields.
void ApplyPrintOptions(const PrintOptions& options, DRIVER_DEVMODE* devmode);

} // namespace velt
