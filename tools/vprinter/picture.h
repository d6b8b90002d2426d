// Pictures of the printed paper: white paper, black dots black, colour dots red, one dot per pixel.
// A piece printed in dual-side mode shows its front on the left and its back on the right, top edges
// level, with a grey strip between them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "paper.h"

namespace vprinter {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb PAPER_WHITE{0xFF, 0xFF, 0xFF};
constexpr Rgb INK_BLACK{0x00, 0x00, 0x00};
constexpr Rgb INK_RED{0xFF, 0x00, 0x00};
constexpr Rgb SIDE_STRIP{0xC0, 0xC0, 0xC0};
constexpr int SIDE_STRIP_WIDTH = 16;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // rows top to bottom, three bytes per pixel

    Rgb At(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * width + x) * 3;
        return Rgb{rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

Picture RenderPiece(const Piece& piece);

// Writes an 8-bit RGB PNG; on failure returns false with libpng's reason in error.
bool WritePng(const std::string& path, const Picture& picture, std::string& error);

// The same picture of a piece as the rows of a palette PNG, straight from its dots: one bit a pixel
// (white, black) when the piece has no colour dot and no side strip, otherwise two bits (white, black,
// red, grey). Rows are packed leftmost pixel in the most significant bits, each row padded to a byte.
struct PaletteRows {
    int width = 0;
    int height = 0;
    int bitDepth = 1;
    size_t rowBytes = 0;
    std::vector<uint8_t> bytes; // height rows of rowBytes
    bool operator==(const PaletteRows&) const = default;
};

PaletteRows PackPiece(const Piece& piece);

// The rows as a PNG file's bytes, with fast compression (no row filter, the fastest deflate level);
// on failure returns false with libpng's reason in error.
bool EncodePalettePng(const PaletteRows& rows, std::vector<uint8_t>& png, std::string& error);

} // namespace vprinter
