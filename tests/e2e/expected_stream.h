// The printer byte stream a job should produce, built command by command, so that a test states
// what reaches the printer in the printer's own terms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

using Bytes = std::vector<uint8_t>;

// One printer row as the driver sends it: 80 bytes (mono) or 160 (two-colour, first plane then
// second plane), the page's dots at their place for the roll.
class PrinterLine {
public:
    // A blank line of a mono or two-colour job on an 80 mm (576 dots) or 58 mm (432 dots) roll.
    PrinterLine(bool twoColour, bool roll80 = true);
    // Dots x0..x1-1 of the page's row: black prints in both planes, colour in the first only.
    PrinterLine& Black(int x0, int x1);
    PrinterLine& Colour(int x0, int x1);
    const Bytes& Data() const { return bytes_; }
    bool operator==(const PrinterLine&) const = default;

private:
    void Set(int plane, int x0, int x1);
    bool twoColour_;
    int firstByte_;
    Bytes bytes_;
};

class ExpectedStream {
public:
    ExpectedStream& Initialise() { return Add({0x1B, 0x40}); }
    ExpectedStream& SideMode(uint8_t n) { return Add({0x1F, 0x60, n}); }
    ExpectedStream& SelectSide(uint8_t n) { return Add({0x1F, 0x61, n}); }
    ExpectedStream& EndSheet() { return Add({0x1F, 0x62}); }
    ExpectedStream& PageMode() { return Add({0x1B, 0x4C}); }
    ExpectedStream& PrintArea(int height);
    ExpectedStream& StandardMode() { return Add({0x1B, 0x53}); }
    ExpectedStream& FormFeed() { return Add({0x0C}); }
    ExpectedStream& Feed(int dots); // line spacing and line feed, 255 dots at a time
    ExpectedStream& Cut() { return Add({0x1D, 0x56, 0x30}); }
    // One raster block of the lines, each pair of data bytes exchanged as the driver sends them.
    ExpectedStream& Raster(const std::vector<PrinterLine>& lines, bool twoColour);
    // The same line, `rows` times over, in blocks of at most `perBlock` rows.
    ExpectedStream& RasterRows(const PrinterLine& line, int rows, int perBlock, bool twoColour);
    ExpectedStream& Append(const Bytes& bytes) { return Add(bytes); }

    const Bytes& Data() const { return bytes_; }

private:
    ExpectedStream& Add(const Bytes& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes bytes_;
};

// Where two streams part, for a failure message: "first difference at byte 123 of 4567: expected 1B, got 0C".
std::string CompareStreams(const Bytes& expected, const Bytes& actual);

} // namespace e2e
