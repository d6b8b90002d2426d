// libpng reports errors by long jumps. Every function that calls libpng with a jump target set
// holds no C++ object with a destructor, so a jump skips nothing; the caller owns the rest.
#include "png_picture.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace picture {
namespace {

struct PngState {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    char message[256] = {};
    bool writing = false;

    ~PngState() {
        if (png) {
            if (writing)
                png_destroy_write_struct(&png, &info);
            else
                png_destroy_read_struct(&png, &info, nullptr);
        }
        if (file) std::fclose(file);
    }
};

void OnError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {} // warnings don't stop a picture

// Sets up the transforms that turn any PNG into 8-bit B, G, R rows, with a fourth byte of alpha when
// the file has transparency; false on a libpng error.
bool ReadHeader(PngState& s, png_uint_32* width, png_uint_32* height, size_t* rowBytes, bool* alpha, int* passes) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_init_io(s.png, s.file);
    png_set_sig_bytes(s.png, 8);
    png_read_info(s.png, s.info);
    int depth = png_get_bit_depth(s.png, s.info);
    int type = png_get_color_type(s.png, s.info);
    *alpha = (type & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(s.png, s.info, PNG_INFO_tRNS) != 0;
    png_set_expand(s.png); // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    if (depth == 16) png_set_scale_16(s.png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(s.png);
    png_set_bgr(s.png);
    *passes = png_set_interlace_handling(s.png);
    png_read_update_info(s.png, s.info);
    *width = png_get_image_width(s.png, s.info);
    *height = png_get_image_height(s.png, s.info);
    *rowBytes = png_get_rowbytes(s.png, s.info);
    return true;
}

bool ReadRows(PngState& s, png_bytepp rows) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_read_image(s.png, rows);
    png_read_end(s.png, nullptr);
    return true;
}

// Colour channel c with alpha a, over white.
BYTE OverWhite(unsigned c, unsigned a) { return static_cast<BYTE>((c * a + 255 * (255 - a) + 127) / 255); }

void ComposeRow(const png_byte* in, BYTE* out, png_uint_32 width) {
    for (png_uint_32 x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = OverWhite(in[0], in[3]);
        out[1] = OverWhite(in[1], in[3]);
        out[2] = OverWhite(in[2], in[3]);
    }
}

// A picture with transparency, not interlaced: each row read into `row` and composed over white into
// the picture's row, so that no second picture is held.
bool ReadComposedRows(PngState& s, png_bytep row, png_uint_32 width, png_uint_32 height, BYTE* pixels, size_t stride) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(s.png, row, nullptr);
        ComposeRow(row, pixels + y * stride, width);
    }
    png_read_end(s.png, nullptr);
    return true;
}

bool WriteRows(PngState& s, png_uint_32 width, png_uint_32 height, png_bytepp rows) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_init_io(s.png, s.file);
    png_set_IHDR(s.png, s.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(s.png, s.info);
    png_set_bgr(s.png);
    png_write_image(s.png, rows);
    png_write_end(s.png, nullptr);
    return true;
}

bool Fail(std::string* error, const std::string& path, const std::string& cause) {
    *error = path + ": " + cause;
    return false;
}

} // namespace

bool LoadPng(const std::string& path, HostPicture* picture, std::string* error) {
    PngState s;
    s.file = std::fopen(path.c_str(), "rb");
    if (!s.file) return Fail(error, path, std::strerror(errno));
    png_byte signature[8];
    if (std::fread(signature, 1, 8, s.file) != 8 || png_sig_cmp(signature, 0, 8) != 0)
        return Fail(error, path, "not a PNG file");
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, OnError, OnWarning);
    if (s.png) s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info) return Fail(error, path, "out of memory");

    png_uint_32 width = 0, height = 0;
    size_t rowBytes = 0;
    bool alpha = false;
    int passes = 1;
    if (!ReadHeader(s, &width, &height, &rowBytes, &alpha, &passes)) return Fail(error, path, s.message);
    if (width == 0 || height == 0 || static_cast<unsigned long long>(width) * height > kMaxPixels)
        return Fail(error, path,
                    "picture too large (" + std::to_string(width) + " x " + std::to_string(height) + " pixels)");
    if (rowBytes != static_cast<size_t>(width) * (alpha ? 4 : 3)) return Fail(error, path, "unsupported pixel layout");

    // The engine's layout: rows of B, G, R, each padded with zeros to a multiple of four bytes.
    HostPicture result;
    result.width = static_cast<LONG>(width);
    result.height = static_cast<LONG>(height);
    result.stride = static_cast<LONG>((static_cast<size_t>(width) * 3 + 3) / 4 * 4);
    result.pixels.resize(static_cast<size_t>(result.stride) * height);
    const size_t stride = static_cast<size_t>(result.stride);
    if (!alpha) {
        // Opaque: libpng writes the rows straight into the picture.
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = result.pixels.data() + y * stride;
        if (!ReadRows(s, rows.data())) return Fail(error, path, s.message);
    } else if (passes == 1) {
        std::vector<png_byte> row(rowBytes);
        if (!ReadComposedRows(s, row.data(), width, height, result.pixels.data(), stride))
            return Fail(error, path, s.message);
    } else {
        // Interlaced with transparency: the passes fill the whole picture before it can be composed.
        std::vector<png_byte> bgra(rowBytes * height);
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = bgra.data() + y * rowBytes;
        if (!ReadRows(s, rows.data())) return Fail(error, path, s.message);
        for (png_uint_32 y = 0; y < height; ++y) ComposeRow(rows[y], result.pixels.data() + y * stride, width);
    }
    *picture = std::move(result);
    return true;
}

bool SavePng(const std::string& path, const HostPicture& picture, std::string* error) {
    if (picture.width <= 0 || picture.height <= 0) return Fail(error, path, "the picture is empty");
    PngState s;
    s.writing = true;
    s.file = std::fopen(path.c_str(), "wb");
    if (!s.file) return Fail(error, path, std::strerror(errno));
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &s, OnError, OnWarning);
    if (s.png) s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info) return Fail(error, path, "out of memory");
    std::vector<png_bytep> rows(static_cast<size_t>(picture.height));
    for (LONG y = 0; y < picture.height; ++y)
        rows[static_cast<size_t>(y)] =
            const_cast<png_bytep>(picture.pixels.data()) + static_cast<size_t>(y) * picture.stride;
    if (!WriteRows(s, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), rows.data()))
        return Fail(error, path, s.message);
    // Closing writes what is still buffered: its failure is the file's failure.
    int closed = std::fclose(s.file);
    s.file = nullptr;
    if (closed != 0) return Fail(error, path, std::strerror(errno));
    return true;
}

} // namespace picture
