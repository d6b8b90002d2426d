#include <gtest/gtest.h>

#include <png.h>

#include <fstream>
#include <iterator>
#include <random>

#include "picture.h"
#include "piece_files.h"
#include "temp_folder.h"

using namespace vprinter;

namespace {

Piece SmallPiece(bool dualSide) {
    Piece piece{SideImage(4), SideImage(4), dualSide, true};
    piece.front.AppendBlank(3);
    piece.front.Row(0)[0] = Dot::Black;
    piece.front.Row(2)[3] = Dot::Colour;
    piece.back.AppendBlank(2);
    piece.back.Row(1)[1] = Dot::Black;
    return piece;
}

// Reads a PNG back as 8-bit RGB.
bool ReadPng(const std::string& path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
}

// A piece of random dots, `colours` of them (1: black only, 2: black and red).
Piece RandomPiece(int width, int frontRows, int backRows, bool dualSide, int colours, unsigned seed) {
    std::mt19937 gen(seed);
    Piece piece{SideImage(width), SideImage(width), dualSide, true};
    piece.front.AppendBlank(frontRows);
    piece.back.AppendBlank(backRows);
    for (SideImage* side : {&piece.front, &piece.back})
        for (int y = 0; y < side->Rows(); ++y)
            for (Dot& dot : side->Row(y)) dot = static_cast<Dot>(gen() % (colours + 1));
    return piece;
}

std::vector<uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(Picture, DotsAreBlackRedOrWhitePaper) {
    const Picture picture = RenderPiece(SmallPiece(false));
    EXPECT_EQ(picture.width, 4);
    EXPECT_EQ(picture.height, 3);
    EXPECT_EQ(picture.At(0, 0), INK_BLACK);
    EXPECT_EQ(picture.At(3, 2), INK_RED);
    EXPECT_EQ(picture.At(1, 1), PAPER_WHITE);
    EXPECT_EQ(picture.At(3, 0), PAPER_WHITE);
}

TEST(Picture, ADualSidePieceShowsFrontLeftAndBackRightOfAGreyStrip) {
    const Picture picture = RenderPiece(SmallPiece(true));
    EXPECT_EQ(picture.width, 4 + SIDE_STRIP_WIDTH + 4);
    EXPECT_EQ(picture.height, 3);
    EXPECT_EQ(picture.At(0, 0), INK_BLACK);
    EXPECT_EQ(picture.At(4, 0), SIDE_STRIP);
    EXPECT_EQ(picture.At(4 + SIDE_STRIP_WIDTH - 1, 2), SIDE_STRIP);
    EXPECT_EQ(picture.At(4 + SIDE_STRIP_WIDTH + 1, 1), INK_BLACK);
    EXPECT_EQ(picture.At(4 + SIDE_STRIP_WIDTH + 1, 2), PAPER_WHITE); // below the shorter back side
}

TEST(Picture, PngRoundTripKeepsEveryPixel) {
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

TEST(Picture, WritePngReportsWhyItFailed) {
    vprinter_test::TempFolder folder;
    std::string error;
    EXPECT_FALSE(WritePng((folder.Path() / "missing" / "piece.png").string(), RenderPiece(SmallPiece(false)), error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(WritePng((folder.Path() / "empty.png").string(), Picture{}, error));
    EXPECT_EQ(error, "empty picture");
}

// The palette pictures decode to exactly the pixels of the RGB picture: widths on both sides of whole
// bytes at one and two bits a pixel, one and two colours, dual-side pieces with either side longer.
TEST(Picture, PalettePngHoldsEveryPixelOfThePiece) {
    struct Case {
        int width, frontRows, backRows;
        bool dualSide;
        int colours;
        int bitDepth;
    };
    const Case cases[] = {
        {576, 40, 0, false, 1, 1}, {577, 9, 0, false, 1, 1},  {13, 5, 0, false, 1, 1},
        {1, 3, 0, false, 1, 1},    {576, 40, 0, false, 2, 2}, {7, 6, 0, false, 2, 2},
        {5, 4, 7, true, 1, 2},     {432, 9, 3, true, 2, 2},   {3, 1, 1, true, 2, 2},
    };
    vprinter_test::TempFolder folder;
    unsigned seed = 1;
    for (const Case& c : cases) {
        const Piece piece = RandomPiece(c.width, c.frontRows, c.backRows, c.dualSide, c.colours, seed++);
        const PaletteRows rows = PackPiece(piece);
        EXPECT_EQ(rows.bitDepth, c.bitDepth) << c.width;
        std::vector<uint8_t> png;
        std::string error;
        ASSERT_TRUE(EncodePalettePng(rows, png, error)) << error;
        const std::string path = (folder.Path() / "piece.png").string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        Picture read;
        ASSERT_TRUE(ReadPng(path, read));
        const Picture want = RenderPiece(piece);
        EXPECT_EQ(read.width, want.width);
        EXPECT_EQ(read.height, want.height);
        EXPECT_TRUE(read.rgb == want.rgb) << c.width << " x " << c.frontRows << (c.dualSide ? " dual" : "");
    }
}

TEST(Picture, EncodePalettePngRefusesAnEmptyPicture) {
    std::vector<uint8_t> png;
    std::string error;
    EXPECT_FALSE(EncodePalettePng(PaletteRows{}, png, error));
    EXPECT_EQ(error, "empty picture");
}

TEST(PieceFiles, TheSamePiecesWrittenAgainGiveTheSameFiles) {
    // The second time the pictures come from those made the first time; a changed dot is a new picture.
    vprinter_test::TempFolder folder;
    std::vector<Piece> pieces{RandomPiece(64, 20, 0, false, 2, 7), RandomPiece(64, 11, 0, false, 1, 8)};
    std::filesystem::create_directories(folder.Path() / "a");
    std::filesystem::create_directories(folder.Path() / "b");
    std::vector<std::string> first, second, third;
    std::string error;
    ASSERT_TRUE(WritePieceFiles(folder.Path() / "a", pieces, first, error)) << error;
    ASSERT_TRUE(WritePieceFiles(folder.Path() / "b", pieces, second, error)) << error;
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 2u);
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(FileBytes(first[i]), FileBytes(second[i]));

    pieces[1].front.Row(10)[63] = pieces[1].front.Row(10)[63] == Dot::Black ? Dot::White : Dot::Black;
    ASSERT_TRUE(WritePieceFiles(folder.Path() / "b", pieces, third, error)) << error;
    EXPECT_EQ(FileBytes(third[0]), FileBytes(first[0]));
    Picture read;
    ASSERT_TRUE(ReadPng(third[1], read));
    EXPECT_TRUE(read.rgb == RenderPiece(pieces[1]).rgb);
}

TEST(PieceFiles, SayWhichFileCouldNotBeWritten) {
    vprinter_test::TempFolder folder;
    std::vector<std::string> paths;
    std::string error;
    const std::filesystem::path missing = folder.Path() / "missing";
    EXPECT_FALSE(WritePieceFiles(missing, {RandomPiece(8, 2, 0, false, 1, 3)}, paths, error));
    EXPECT_EQ(error, "cannot write '" + (missing / "piece-001.png").string() + "': No such file or directory");
    EXPECT_TRUE(paths.empty());
}
