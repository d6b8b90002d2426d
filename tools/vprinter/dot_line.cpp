#include "dot_line.h"

#include <algorithm>

#include "stream_commands.h"

namespace vprinter {
namespace {

constexpr int LINE_DOTS = 640;

bool Bit(std::span<const uint8_t> plane, int dot) { return (plane[dot / 8] >> (7 - dot % 8)) & 1; }

} // namespace

LineDots DecodeLine(uint8_t type, std::span<const uint8_t> line, PaperWidth width, bool twoColourPaper,
                    std::span<Dot> out) {
    const bool twoColour = type == RASTER_TWO_COLOUR;
    const std::span<const uint8_t> first = line.first(LINE_BYTES_MONO);
    const std::span<const uint8_t> second = twoColour ? line.subspan(LINE_BYTES_MONO, LINE_BYTES_MONO) : first;
    const int origin = LineOrigin(width);
    const int dots = PaperDots(width);
    LineDots found;
    std::fill(out.begin(), out.end(), Dot::White);
    for (int d = 0; d < LINE_DOTS; ++d) {
        const bool p1 = Bit(first, d);
        const bool p2 = twoColour && Bit(second, d);
        found.secondPlaneOnly += p2 && !p1;
        Dot dot = Dot::White;
        if (p1 || p2) dot = (twoColour && p1 && !p2 && twoColourPaper) ? Dot::Colour : Dot::Black;
        const int x = d - origin;
        if (x < 0 || x >= dots || static_cast<size_t>(x) >= out.size()) {
            found.beside += dot != Dot::White;
            continue;
        }
        out[x] = dot;
    }
    return found;
}

} // namespace vprinter
