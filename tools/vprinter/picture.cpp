#include "picture.h"

#include <png.h>

namespace vprinter {
namespace {

Rgb Colour(Dot dot)
{
    switch (dot) {
    case Dot::Black: return INK_BLACK;
    case Dot::Colour: return INK_RED;
    case Dot::White: break;
    }
    return PAPER_WHITE;
}

void Paint(Picture& picture, int x, int y, Rgb colour)
{
    uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
}

void PaintSide(Picture& picture, const SideImage& side, int left)
{
    for (int y = 0; y < side.Rows(); ++y)
        for (int x = 0; x < side.Width(); ++x)
            Paint(picture, left + x, y, Colour(side.At(x, y)));
}

} // namespace

Picture RenderPiece(const Piece& piece)
{
    Picture picture;
    const int sideWidth = piece.Width();
    picture.width = piece.dualSide ? 2 * sideWidth + SIDE_STRIP_WIDTH : sideWidth;
    picture.height = piece.Rows();
    picture.rgb.assign(static_cast<size_t>(picture.width) * picture.height * 3, 0xFF);
    PaintSide(picture, piece.front, 0);
    if (piece.dualSide) {
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < SIDE_STRIP_WIDTH; ++x)
                Paint(picture, sideWidth + x, y, SIDE_STRIP);
        PaintSide(picture, piece.back, sideWidth + SIDE_STRIP_WIDTH);
    }
    return picture;
}

bool WritePng(const std::string& path, const Picture& picture, std::string& error)
{
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
