// Builds printer byte streams for the tests, command by command, with the bytes the driver sends.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace vprinter_test {

using Bytes = std::vector<uint8_t>;

// A 640-dot printer line: 80 bytes mono, 160 bytes two-colour (first plane, then second plane).
struct Line {
    Bytes bytes;

    static Line Mono() { return Line{Bytes(80, 0)}; }
    static Line TwoColour() { return Line{Bytes(160, 0)}; }
    // Sets dot d of the 640-dot line in one plane (0 first, 1 second).
    Line& Dot(int d, int plane = 0)
    {
        bytes[static_cast<size_t>(plane * 80 + d / 8)] |= static_cast<uint8_t>(0x80 >> (d % 8));
        return *this;
    }
};

// The dot of the line that lands at paper x: the paper starts at line byte 4 (80 mm) or 24 (58 mm).
inline int LineDot80(int x) { return 32 + x; }
inline int LineDot58(int x) { return 192 + x; }

class StreamBuilder {
public:
    StreamBuilder& Raw(std::initializer_list<uint8_t> bytes)
    {
        bytes_.insert(bytes_.end(), bytes);
        return *this;
    }
    StreamBuilder& Raw(const Bytes& bytes)
    {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    StreamBuilder& Initialise() { return Raw({0x1B, 0x40}); }
    StreamBuilder& SideMode(uint8_t n) { return Raw({0x1F, 0x60, n}); }
    StreamBuilder& SelectSide(uint8_t n) { return Raw({0x1F, 0x61, n}); }
    StreamBuilder& EndSheet() { return Raw({0x1F, 0x62}); }
    StreamBuilder& PageMode() { return Raw({0x1B, 0x4C}); }
    StreamBuilder& StandardMode() { return Raw({0x1B, 0x53}); }
    StreamBuilder& FormFeed() { return Raw({0x0C}); }
    StreamBuilder& Cut() { return Raw({0x1D, 0x56, 0x30}); }
    // The driver's print area: origin (0, 0), 576 dots wide, h rows high.
    StreamBuilder& PrintArea(int h)
    {
        return Raw({0x1B, 0x57, 0x00, 0x00, 0x00, 0x00, 0x40, 0x02, static_cast<uint8_t>(h & 0xFF),
                    static_cast<uint8_t>(h >> 8)});
    }
    // The driver's paper feed: line spacing 255 and a line feed per 255 dots, then the rest.
    StreamBuilder& Feed(int dots)
    {
        for (; dots > 255; dots -= 255)
            Raw({0x1B, 0x33, 0xFF, 0x0A});
        if (dots != 0)
            Raw({0x1B, 0x33, static_cast<uint8_t>(dots), 0x0A});
        return *this;
    }
    // A raster block of the given lines (fewer than 255), each pair of data bytes exchanged.
    StreamBuilder& Raster(uint8_t type, const std::vector<Line>& lines)
    {
        Raw({0x1B, 0x2C, type, static_cast<uint8_t>(lines.size()), 0x00});
        for (const Line& line : lines) {
            Bytes wire = line.bytes;
            for (size_t i = 0; i + 1 < wire.size(); i += 2)
                std::swap(wire[i], wire[i + 1]);
            Raw(wire);
        }
        return *this;
    }
    StreamBuilder& BlankRows(uint8_t type, int rows)
    {
        return Raster(type, std::vector<Line>(static_cast<size_t>(rows), type == 2 ? Line::TwoColour() : Line::Mono()));
    }

    const Bytes& Get() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    Bytes bytes_;
};

} // namespace vprinter_test
