#include "picture.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <csetjmp>
#include <cstdio>
#include <new>

namespace vprinter {
namespace {

Rgb Colour(Dot dot) {
    switch (dot) {
    case Dot::Black: return INK_BLACK;
    case Dot::Colour: return INK_RED;
    case Dot::White: break;
    }
    return PAPER_WHITE;
}

void Paint(Picture& picture, int x, int y, Rgb colour) {
    uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
}

void PaintSide(Picture& picture, const SideImage& side, int left) {
    for (int y = 0; y < side.Rows(); ++y)
        for (int x = 0; x < side.Width(); ++x) Paint(picture, left + x, y, Colour(side.At(x, y)));
}

// Palette indices: the dot values themselves, and the side strip after them.
constexpr uint8_t kStripIndex = 3;
constexpr Rgb kPalette[] = {PAPER_WHITE, INK_BLACK, INK_RED, SIDE_STRIP};
static_assert(static_cast<int>(Dot::White) == 0 && static_cast<int>(Dot::Black) == 1 &&
              static_cast<int>(Dot::Colour) == 2);

bool HasColour(const SideImage& side) {
    for (int y = 0; y < side.Rows(); ++y) {
        const std::span<const Dot> row = side.Row(y);
        if (std::find(row.begin(), row.end(), Dot::Colour) != row.end()) return true;
    }
    return false;
}

void PutIndex(uint8_t* row, int bitDepth, int x, unsigned index) {
    if (bitDepth == 1)
        row[x >> 3] |= static_cast<uint8_t>(index << (7 - (x & 7)));
    else
        row[x >> 2] |= static_cast<uint8_t>(index << (6 - 2 * (x & 3)));
}

// Eight dots of 0 or 1 to one byte, and four dots of 0 to 3 to one byte, first dot highest: read as
// one little-endian word (dot i in byte i), a product moves each dot's bits to its place, and no two
// partial products meet.
uint64_t LittleEndianWord(const Dot* d, int count) {
    uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&word, d, static_cast<size_t>(count));
    } else {
        for (int i = 0; i < count; ++i) word |= static_cast<uint64_t>(d[i]) << (8 * i);
    }
    return word;
}

uint8_t PackEight(const Dot* d) { return static_cast<uint8_t>((LittleEndianWord(d, 8) * 0x8040201008040201ULL) >> 56); }

uint8_t PackFour(const Dot* d) {
    return static_cast<uint8_t>((LittleEndianWord(d, 4) * ((1ULL << 30) | (1ULL << 20) | (1ULL << 10) | 1ULL)) >> 24);
}

// One side's row into the picture's row from pixel `left`; whole bytes at a time where the side starts
// on a byte.
void PackSideRow(std::span<const Dot> dots, uint8_t* row, int bitDepth, int left) {
    const int perByte = 8 / bitDepth;
    int x = 0;
    if (left % perByte == 0) {
        uint8_t* out = row + left / perByte;
        for (; x + perByte <= static_cast<int>(dots.size()); x += perByte)
            *out++ = bitDepth == 1 ? PackEight(&dots[x]) : PackFour(&dots[x]);
    }
    for (; x < static_cast<int>(dots.size()); ++x) PutIndex(row, bitDepth, left + x, static_cast<unsigned>(dots[x]));
}

// libpng reports errors by a long jump out of the call that failed; the functions that call it hold no
// object with a destructor.
struct PngWriter {
    std::vector<uint8_t>* out = nullptr;
    char message[256] = {};
};

void OnError(png_structp png, png_const_charp message) {
    auto* writer = static_cast<PngWriter*>(png_get_error_ptr(png));
    std::snprintf(writer->message, sizeof writer->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, size_t length) {
    auto* writer = static_cast<PngWriter*>(png_get_io_ptr(png));
    try {
        writer->out->insert(writer->out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void OnFlush(png_structp) {}

bool WriteRows(png_structp png, png_infop info, const PaletteRows& rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_color palette[4];
    for (int i = 0; i < 4; ++i) palette[i] = png_color{kPalette[i].r, kPalette[i].g, kPalette[i].b};
    png_set_IHDR(png, info, static_cast<png_uint_32>(rows.width), static_cast<png_uint_32>(rows.height), rows.bitDepth,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette, 1 << rows.bitDepth);
    // Dots compress well without a row filter, and the fastest level costs little in size.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, Z_BEST_SPEED);
    png_set_compression_buffer_size(png, 1 << 16);
    png_write_info(png, info);
    for (int y = 0; y < rows.height; ++y)
        png_write_row(png, rows.bytes.data() + static_cast<size_t>(y) * rows.rowBytes);
    png_write_end(png, info);
    return true;
}

} // namespace

PaletteRows PackPiece(const Piece& piece) {
    PaletteRows rows;
    const int sideWidth = piece.Width();
    rows.width = piece.dualSide ? 2 * sideWidth + SIDE_STRIP_WIDTH : sideWidth;
    rows.height = piece.Rows();
    rows.bitDepth = piece.dualSide || HasColour(piece.front) ? 2 : 1;
    rows.rowBytes = (static_cast<size_t>(rows.width) * rows.bitDepth + 7) / 8;
    rows.bytes.assign(rows.rowBytes * static_cast<size_t>(rows.height), 0); // index 0 is white paper
    for (int y = 0; y < rows.height; ++y) {
        uint8_t* row = rows.bytes.data() + static_cast<size_t>(y) * rows.rowBytes;
        if (y < piece.front.Rows()) PackSideRow(piece.front.Row(y), row, rows.bitDepth, 0);
        if (!piece.dualSide) continue;
        for (int x = 0; x < SIDE_STRIP_WIDTH; ++x) PutIndex(row, rows.bitDepth, sideWidth + x, kStripIndex);
        if (y < piece.back.Rows()) PackSideRow(piece.back.Row(y), row, rows.bitDepth, sideWidth + SIDE_STRIP_WIDTH);
    }
    return rows;
}

bool EncodePalettePng(const PaletteRows& rows, std::vector<uint8_t>& png, std::string& error) {
    if (rows.width <= 0 || rows.height <= 0) {
        error = "empty picture";
        return false;
    }
    png.clear();
    PngWriter writer{&png};
    png_structp write = png_create_write_struct(PNG_LIBPNG_VER_STRING, &writer, OnError, OnWarning);
    png_infop info = write ? png_create_info_struct(write) : nullptr;
    if (!write || !info) {
        png_destroy_write_struct(&write, &info);
        error = "out of memory";
        return false;
    }
    png_set_write_fn(write, &writer, OnWrite, OnFlush);
    const bool written = WriteRows(write, info, rows);
    png_destroy_write_struct(&write, &info);
    if (!written) error = writer.message;
    return written;
}

Picture RenderPiece(const Piece& piece) {
    Picture picture;
    const int sideWidth = piece.Width();
    picture.width = piece.dualSide ? 2 * sideWidth + SIDE_STRIP_WIDTH : sideWidth;
    picture.height = piece.Rows();
    picture.rgb.assign(static_cast<size_t>(picture.width) * picture.height * 3, 0xFF);
    PaintSide(picture, piece.front, 0);
    if (piece.dualSide) {
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < SIDE_STRIP_WIDTH; ++x) Paint(picture, sideWidth + x, y, SIDE_STRIP);
        PaintSide(picture, piece.back, sideWidth + SIDE_STRIP_WIDTH);
    }
    return picture;
}

bool WritePng(const std::string& path, const Picture& picture, std::string& error) {
    if (picture.width <= 0 || picture.height <= 0) {
        error = "empty picture";
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, picture.rgb.data(), 0, nullptr) == 0) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

} // namespace vprinter
