// The page the printer prints for the print-configuration command (1F 74): its settings as lines of
// text in a 5 x 7 dot font drawn four times larger, ended by a feed to the knife.
#pragma once

#include <string>
#include <vector>

#include "paper.h"
#include "printer_state.h"

namespace vprinter {

// The page's lines: "CONFIGURATION", "PAPER 80MM", "COLOURS 2", "KNIFE ON", "BUFFER 4K".
std::vector<std::string> ConfigurationLines(const PrinterState& state);

// Prints the lines onto the paper, black on white, from the paper's left edge.
void PrintConfigurationPage(const PrinterState& state, SideImage& paper);

} // namespace vprinter
