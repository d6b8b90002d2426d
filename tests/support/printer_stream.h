// Printer byte streams built command by command, with the bytes the driver sends: what a test expects
// at the port, or what it feeds the virtual printer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;

// One printer line as the driver sends it: 80 bytes mono, 160 two-colour (first plane, then second
// plane), 640 dots a plane. The page's dots start at line byte 4 on the 80 mm roll, at byte 24 on the
// 58 mm roll.
class PrinterLine {
public:
    // A blank line of a mono or two-colour job on the 80 mm roll (or the 58 mm one).
    explicit PrinterLine(bool twoColour, bool roll80 = true)
        : twoColour_(twoColour), firstByte_(roll80 ? 4 : 24), bytes_(twoColour ? 160 : 80, 0) {}
    // A line written out byte by byte (two-colour if it has 160 bytes), its page on the 80 mm roll.
    explicit PrinterLine(Bytes bytes) : twoColour_(bytes.size() == 160), firstByte_(4), bytes_(std::move(bytes)) {}
    static PrinterLine Mono() { return PrinterLine(false); }
    static PrinterLine TwoColour() { return PrinterLine(true); }

    // Dots x0..x1-1 of the page's row: black prints in both planes, colour in the first only.
    PrinterLine& Black(int x0, int x1) {
        Mark(0, x0, x1);
        if (twoColour_) Mark(1, x0, x1);
        return *this;
    }
    PrinterLine& Colour(int x0, int x1) {
        Mark(0, x0, x1);
        return *this;
    }
    // Dot d of the 640-dot line in one plane (0 first, 1 second), wherever the paper lies.
    PrinterLine& Dot(int d, int plane = 0) {
        bytes_[static_cast<size_t>(plane * 80 + d / 8)] |= static_cast<uint8_t>(0x80 >> (d % 8));
        return *this;
    }

    const Bytes& Data() const { return bytes_; }
    bool operator==(const PrinterLine&) const = default;

private:
    void Mark(int plane, int x0, int x1) {
        for (int x = x0; x < x1; ++x) Dot(firstByte_ * 8 + x, plane);
    }

    bool twoColour_;
    int firstByte_;
    Bytes bytes_;
};

// The line dot on which paper dot x lands: the paper starts at line byte 4 (80 mm) or 24 (58 mm).
inline int LineDot80(int x) { return 32 + x; }
inline int LineDot58(int x) { return 192 + x; }

// Each method appends one command or block and returns the stream, so that a test writes a job as a
// chain; Data(), or the stream itself where bytes are wanted, is what it built.
class PrinterStream {
public:
    // Bytes as they are, for commands the driver does not send or streams made wrong on purpose.
    PrinterStream& Raw(std::initializer_list<uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes);
        return *this;
    }
    PrinterStream& Raw(const Bytes& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }

    PrinterStream& Initialise() { return Raw({0x1B, 0x40}); }
    PrinterStream& SideMode(uint8_t n) { return Raw({0x1F, 0x60, n}); }
    PrinterStream& SelectSide(uint8_t n) { return Raw({0x1F, 0x61, n}); }
    PrinterStream& EndSheet() { return Raw({0x1F, 0x62}); }
    PrinterStream& PageMode() { return Raw({0x1B, 0x4C}); }
    PrinterStream& StandardMode() { return Raw({0x1B, 0x53}); }
    PrinterStream& FormFeed() { return Raw({0x0C}); }
    PrinterStream& Cut() { return Raw({0x1D, 0x56, 0x30}); }
    // The driver's print area: origin (0, 0), 576 dots wide, `height` rows high.
    PrinterStream& PrintArea(int height) {
        return Raw({0x1B, 0x57, 0x00, 0x00, 0x00, 0x00, 0x40, 0x02, static_cast<uint8_t>(height & 0xFF),
                    static_cast<uint8_t>((height >> 8) & 0xFF)});
    }
    // A page-mode page's start: page mode, then its area.
    PrinterStream& PageModeArea(int height) { return PageMode().PrintArea(height); }
    // The driver's paper feed: line spacing 255 and a line feed per 255 dots, then the rest.
    PrinterStream& Feed(int dots) {
        for (; dots > 255; dots -= 255) Raw({0x1B, 0x33, 0xFF, 0x0A});
        if (dots > 0) Raw({0x1B, 0x33, static_cast<uint8_t>(dots), 0x0A});
        return *this;
    }

    // One raster block of the lines: the header (type, then the rows as the driver counts them,
    // rows % 255 and rows / 255), then the lines' bytes with each pair exchanged.
    PrinterStream& Raster(uint8_t type, const std::vector<PrinterLine>& lines) {
        const size_t rows = lines.size();
        Raw({0x1B, 0x2C, type, static_cast<uint8_t>(rows % 255), static_cast<uint8_t>(rows / 255)});
        Bytes data;
        for (const PrinterLine& line : lines) data.insert(data.end(), line.Data().begin(), line.Data().end());
        for (size_t i = 0; i + 1 < data.size(); i += 2) std::swap(data[i], data[i + 1]);
        return Raw(data);
    }
    // One block of the same line, `rows` times over.
    PrinterStream& Raster(uint8_t type, const PrinterLine& line, int rows) {
        return Raster(type, std::vector<PrinterLine>(static_cast<size_t>(rows), line));
    }
    // One block of the driver's own type for the lines: 2 two-colour, 0 mono.
    PrinterStream& Raster(const std::vector<PrinterLine>& lines, bool twoColour) {
        return Raster(twoColour ? 2 : 0, lines);
    }
    // The same line, `rows` times over, in blocks of at most `perBlock` rows.
    PrinterStream& RasterRows(const PrinterLine& line, int rows, int perBlock, bool twoColour) {
        for (; rows > 0; rows -= perBlock) Raster(twoColour ? 2 : 0, line, rows < perBlock ? rows : perBlock);
        return *this;
    }
    // One block of blank lines: two-colour ones for type 2, mono ones for any other type.
    PrinterStream& BlankRows(uint8_t type, int rows) { return Raster(type, PrinterLine(type == 2), rows); }

    const Bytes& Data() const { return bytes_; }
    operator const Bytes&() const { return bytes_; }

private:
    Bytes bytes_;
};
