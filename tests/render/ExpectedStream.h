// Builds the printer bytes a test expects, command by command, in the driver's own terms.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;

class ExpectedStream {
public:
    ExpectedStream& Raw(std::initializer_list<int> bytes) {
        for (int b : bytes) {
            bytes_.push_back(static_cast<uint8_t>(b));
        }
        return *this;
    }
    ExpectedStream& Initialise() { return Raw({0x1B, 0x40}); }
    ExpectedStream& SideMode(int n) { return Raw({0x1F, 0x60, n}); }
    ExpectedStream& SelectSide(int n) { return Raw({0x1F, 0x61, n}); }
    ExpectedStream& EndSheet() { return Raw({0x1F, 0x62}); }
    ExpectedStream& PageMode() { return Raw({0x1B, 0x4C}); }
    ExpectedStream& PrintArea(int height) {
        return Raw({0x1B, 0x57, 0, 0, 0, 0, 0x40, 0x02, height & 0xFF, height >> 8});
    }
    ExpectedStream& PageModeArea(int height) { return PageMode().PrintArea(height); }
    ExpectedStream& StandardMode() { return Raw({0x1B, 0x53}); }
    ExpectedStream& FormFeed() { return Raw({0x0C}); }
    ExpectedStream& Cut() { return Raw({0x1D, 0x56, 0x30}); }
    ExpectedStream& Feed(int dots) {
        for (; dots > 255; dots -= 255) {
            Raw({0x1B, 0x33, 0xFF, 0x0A});
        }
        if (dots > 0) {
            Raw({0x1B, 0x33, dots, 0x0A});
        }
        return *this;
    }
    // A raster block of printer lines (80 or 160 bytes each, planes apart), pairs exchanged as sent.
    ExpectedStream& Block(int type, const std::vector<Bytes>& lines) {
        const int rows = static_cast<int>(lines.size());
        Raw({0x1B, 0x2C, type, rows % 255, rows / 255});
        Bytes data;
        for (const Bytes& line : lines) {
            data.insert(data.end(), line.begin(), line.end());
        }
        for (size_t i = 0; i + 1 < data.size(); i += 2) {
            std::swap(data[i], data[i + 1]);
        }
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    ExpectedStream& Block(int type, const Bytes& line, int rows) {
        return Block(type, std::vector<Bytes>(static_cast<size_t>(rows), line));
    }

    const Bytes& bytes() const { return bytes_; }
    operator const Bytes&() const { return bytes_; }

private:
    Bytes bytes_;
};

// Printer lines of an 80 mm page (dots at bytes 4..75 of each 80-byte plane).
namespace lines {

inline Bytes Mono(uint8_t fill) {
    Bytes line(80, 0);
    for (int i = 4; i < 76; ++i) {
        line[i] = fill;
    }
    return line;
}

// Two-colour: the first plane marks every printed dot, the second the black ones.
inline Bytes TwoColour(uint8_t first, uint8_t second) {
    Bytes line(160, 0);
    for (int i = 4; i < 76; ++i) {
        line[i] = first;
        line[80 + i] = second;
    }
    return line;
}

} // namespace lines

// Hex text of bytes, for failure messages that show where two streams part.
inline std::string Hex(const Bytes& bytes, size_t from = 0, size_t count = 48) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = from; i < bytes.size() && i < from + count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
        text += ' ';
    }
    return text;
}
