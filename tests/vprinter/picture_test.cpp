#include <gtest/gtest.h>

#include <png.h>

#include "picture.h"
#include "temp_folder.h"

using namespace vprinter;

namespace {

Piece SmallPiece(bool dualSide)
{
    Piece piece{SideImage(4), SideImage(4), dualSide, true};
    piece.front.AppendBlank(3);
    piece.front.Row(0)[0] = Dot::Black;
    piece.front.Row(2)[3] = Dot::Colour;
    piece.back.AppendBlank(2);
    piece.back.Row(1)[1] = Dot::Black;
    return piece;
}

// Reads a PNG back as 8-bit RGB.
bool ReadPng(const std::string& path, Picture& picture)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
        return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
}

} // namespace

TEST(Picture, DotsAreBlackRedOrWhitePaper)
{
    const Picture picture = RenderPiece(SmallPiece(false));
    EXPECT_EQ(picture.width, 4);
    EXPECT_EQ(picture.height, 3);
    EXPECT_EQ(picture.At(0, 0), INK_BLACK);
    EXPECT_EQ(picture.At(3, 2), INK_RED);
    EXPECT_EQ(picture.At(1, 1), PAPER_WHITE);
    EXPECT_EQ(picture.At(3, 0), PAPER_WHITE);
}

TEST(Picture, ADualSidePieceShowsFrontLeftAndBackRightOfAGreyStrip)
{
    const Picture picture = RenderPiece(SmallPiece(true));
    EXPECT_EQ(picture.width, 4 + SIDE_STRIP_WIDTH + 4);
    EXPECT_EQ(picture.height, 3);
    EXPECT_EQ(picture.At(0, 0), INK_BLACK);
    EXPECT_EQ(picture.At(4, 0), SIDE_STRIP);
    EXPECT_EQ(picture.At(4 + SIDE_STRIP_WIDTH - 1, 2), SIDE_STRIP);
    EXPECT_EQ(picture.At(4 + SIDE_STRIP_WIDTH + 1, 1), INK_BLACK);
    EXPECT_EQ(picture.At(4 + SIDE_STRIP_WIDTH + 1, 2), PAPER_WHITE); // below the shorter back side
}

TEST(Picture, PngRoundTripKeepsEveryPixel)
{
    vprinter_test::TempFolder folder;
    const std::string path = (folder.Path() / "piece.png").string();
    const Picture written = RenderPiece(SmallPiece(true));
    std::string error;
    ASSERT_TRUE(WritePng(path, written, error)) << error;
    Picture read;
    ASSERT_TRUE(ReadPng(path, read));
    EXPECT_EQ(read.width, written.width);
    EXPECT_EQ(read.height, written.height);
    EXPECT_EQ(read.rgb, written.rgb);
}

TEST(Picture, WritePngReportsWhyItFailed)
{
    vprinter_test::TempFolder folder;
    std::string error;
    EXPECT_FALSE(WritePng((folder.Path() / "missing" / "piece.png").string(), RenderPiece(SmallPiece(false)), error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(WritePng((folder.Path() / "empty.png").string(), Picture{}, error));
    EXPECT_EQ(error, "empty picture");
}
