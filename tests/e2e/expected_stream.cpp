#include "expected_stream.h"

#include <cstdio>

namespace e2e {

PrinterLine::PrinterLine(bool twoColour, bool roll80)
    : twoColour_(twoColour), firstByte_(roll80 ? 4 : 24), bytes_(twoColour ? 160 : 80, 0) {}

void PrinterLine::Set(int plane, int x0, int x1) {
    for (int x = x0; x < x1; ++x)
        bytes_[static_cast<size_t>(plane * 80 + firstByte_ + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
}

PrinterLine& PrinterLine::Black(int x0, int x1) {
    Set(0, x0, x1);
    if (twoColour_) Set(1, x0, x1);
    return *this;
}

PrinterLine& PrinterLine::Colour(int x0, int x1) {
    Set(0, x0, x1);
    return *this;
}

ExpectedStream& ExpectedStream::PrintArea(int height) {
    return Add({0x1B, 0x57, 0, 0, 0, 0, 0x40, 0x02, static_cast<uint8_t>(height & 0xFF),
                static_cast<uint8_t>((height >> 8) & 0xFF)});
}

ExpectedStream& ExpectedStream::Feed(int dots) {
    for (; dots > 255; dots -= 255) Add({0x1B, 0x33, 0xFF, 0x0A});
    if (dots > 0) Add({0x1B, 0x33, static_cast<uint8_t>(dots), 0x0A});
    return *this;
}

ExpectedStream& ExpectedStream::Raster(const std::vector<PrinterLine>& lines, bool twoColour) {
    size_t n = lines.size();
    Add({0x1B, 0x2C, static_cast<uint8_t>(twoColour ? 2 : 0), static_cast<uint8_t>(n % 255),
         static_cast<uint8_t>(n / 255)});
    Bytes data;
    for (const PrinterLine& line : lines) data.insert(data.end(), line.Data().begin(), line.Data().end());
    for (size_t i = 0; i + 1 < data.size(); i += 2) std::swap(data[i], data[i + 1]);
    return Add(data);
}

ExpectedStream& ExpectedStream::RasterRows(const PrinterLine& line, int rows, int perBlock, bool twoColour) {
    while (rows > 0) {
        int n = rows < perBlock ? rows : perBlock;
        Raster(std::vector<PrinterLine>(static_cast<size_t>(n), line), twoColour);
        rows -= n;
    }
    return *this;
}

std::string CompareStreams(const Bytes& expected, const Bytes& actual) {
    size_t n = expected.size() < actual.size() ? expected.size() : actual.size();
    size_t at = 0;
    while (at < n && expected[at] == actual[at]) ++at;
    if (at == n && expected.size() == actual.size()) return "same";
    char text[160];
    if (at == n)
        std::snprintf(text, sizeof text, "streams agree for %zu bytes; expected %zu bytes, got %zu", n, expected.size(),
                      actual.size());
    else
        std::snprintf(text, sizeof text, "first difference at byte %zu of %zu (got %zu): expected %02X, got %02X", at,
                      expected.size(), actual.size(), expected[at], actual[at]);
    return text;
}

} // namespace e2e
