// From one 640-dot printer line of a raster block to the dots that land on the paper.
#pragma once

#include <cstdint>
#include <span>

#include "paper.h"
#include "printer_state.h"

namespace vprinter {

// Decodes the line (80 bytes mono; 160 bytes two-colour: first plane, then second plane, leftmost dot in
// the most significant bit) into out, PaperDots(width) dots from the paper's left edge. Two-colour dots:
// both planes set print black, the first plane alone prints colour on two-colour paper, the second plane
// alone prints black (it is the black heat level). Mono paper shows every printed dot black.
struct LineDots {
    int beside = 0;          // set dots that fall beside the paper
    int secondPlaneOnly = 0; // dots set in the second plane and not the first (two-colour lines only)
};
LineDots DecodeLine(uint8_t type, std::span<const uint8_t> line, PaperWidth width, bool twoColourPaper,
                    std::span<Dot> out);

} // namespace vprinter
