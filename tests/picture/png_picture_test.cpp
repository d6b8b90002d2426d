// PNG pictures of every colour type and depth come out as the same 24-bit picture, transparency over white.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include "png_picture.h"

namespace {

namespace fs = std::filesystem;

struct PngLayout {
    png_uint_32 width, height;
    int colorType, bitDepth;
    std::vector<std::vector<png_byte>> rows; // raw samples as the file holds them
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    bool interlaced = false;
};

PngLayout Layout(png_uint_32 width, png_uint_32 height, int colorType, int bitDepth,
                 std::vector<std::vector<png_byte>> rows) {
    PngLayout layout;
    layout.width = width;
    layout.height = height;
    layout.colorType = colorType;
    layout.bitDepth = bitDepth;
    layout.rows = std::move(rows);
    return layout;
}

bool WritePngFile(std::FILE* file, const PngLayout& layout, png_bytepp rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(), static_cast<int>(layout.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

class PngPicture : public ::testing::Test {
protected:
    PngPicture() : dir_(fs::temp_directory_path() / ("velt-png-" + std::to_string(::getpid()))) {
        fs::create_directories(dir_);
    }
    ~PngPicture() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, PngLayout layout) {
        std::string path = (dir_ / name).string();
        std::vector<png_bytep> rows;
        for (auto& row : layout.rows) rows.push_back(row.data());
        std::FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        EXPECT_TRUE(WritePngFile(file, layout, rows.data()));
        std::fclose(file);
        return path;
    }
    HostPicture Load(const std::string& path) {
        HostPicture picture;
        std::string error;
        EXPECT_TRUE(picture::LoadPng(path, &picture, &error)) << error;
        return picture;
    }
    std::string LoadError(const std::string& path) {
        HostPicture picture;
        std::string error;
        EXPECT_FALSE(picture::LoadPng(path, &picture, &error));
        return error;
    }

    fs::path dir_;
};

std::vector<ULONG> Pixels(const HostPicture& p) {
    std::vector<ULONG> all;
    for (LONG y = 0; y < p.height; ++y)
        for (LONG x = 0; x < p.width; ++x) all.push_back(p.Pixel(x, y));
    return all;
}

TEST_F(PngPicture, RgbBecomesBlueGreenRedInMemory) {
    HostPicture p = Load(Write("rgb.png", Layout(3, 1, PNG_COLOR_TYPE_RGB, 8, {{255, 0, 0, 0, 255, 0, 1, 2, 3}})));
    ASSERT_EQ(p.width, 3);
    ASSERT_EQ(p.height, 1);
    EXPECT_EQ(p.stride, 12);
    EXPECT_EQ(Pixels(p), (std::vector<ULONG>{0xFF0000, 0x00FF00, 0x010203}));
    EXPECT_EQ(p.pixels[0], 0x00); // blue first
    EXPECT_EQ(p.pixels[2], 0xFF);
}

TEST_F(PngPicture, AlphaIsComposedOverWhite) {
    HostPicture p =
        Load(Write("rgba.png", Layout(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {{0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 128}})));
    // Opaque black stays black, transparent black is paper, half-covered black is (255 * 127 + 127) / 255.
    EXPECT_EQ(Pixels(p), (std::vector<ULONG>{0x000000, 0xFFFFFF, 0x7F7F7F}));
}

TEST_F(PngPicture, GreyOfOneBitAndGreyWithAlpha) {
    HostPicture bits = Load(Write("grey1.png", Layout(10, 1, PNG_COLOR_TYPE_GRAY, 1, {{0b10100000, 0b01000000}})));
    EXPECT_EQ(Pixels(bits), (std::vector<ULONG>{0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 0xFFFFFF}));
    HostPicture ga = Load(Write("grey-alpha.png", Layout(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{0x40, 255, 0x40, 0}})));
    EXPECT_EQ(Pixels(ga), (std::vector<ULONG>{0x404040, 0xFFFFFF}));
}

TEST_F(PngPicture, PaletteWithTransparentEntries) {
    PngLayout layout = Layout(4, 1, PNG_COLOR_TYPE_PALETTE, 4, {{0x01, 0x23}});
    layout.palette = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {10, 20, 30}};
    layout.paletteAlpha = {255, 255, 0};
    HostPicture p = Load(Write("palette.png", layout));
    EXPECT_EQ(Pixels(p), (std::vector<ULONG>{0x000000, 0xFF0000, 0xFFFFFF, 0x0A141E}));
}

TEST_F(PngPicture, SixteenBitSamplesAreScaledToEight) {
    HostPicture p =
        Load(Write("rgb16.png", Layout(2, 1, PNG_COLOR_TYPE_RGB, 16,
                                       {{0xFF, 0xFF, 0x7F, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x80, 0x80, 0xFF, 0xFF}})));
    EXPECT_EQ(Pixels(p), (std::vector<ULONG>{0xFF7F00, 0x0080FF}));
}

TEST_F(PngPicture, InterlacedPicturesReadAsTheirRows) {
    PngLayout layout = Layout(9, 9, PNG_COLOR_TYPE_GRAY, 8, {});
    for (png_uint_32 y = 0; y < 9; ++y) {
        std::vector<png_byte> row;
        for (png_uint_32 x = 0; x < 9; ++x) row.push_back(static_cast<png_byte>(y * 16 + x));
        layout.rows.push_back(row);
    }
    PngLayout interlaced = layout;
    interlaced.interlaced = true;
    EXPECT_EQ(Pixels(Load(Write("interlaced.png", interlaced))), Pixels(Load(Write("plain.png", layout))));
    EXPECT_EQ(Load(Write("plain2.png", layout)).Pixel(3, 5), 0x535353u);
}

TEST_F(PngPicture, TransparencyReadsTheSameInterlacedOrNot) {
    // Rows with transparency are composed one at a time, or after the passes when interlaced; a colour
    // key (tRNS on an RGB picture) is transparency too.
    PngLayout layout = Layout(9, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
    for (png_uint_32 y = 0; y < 7; ++y) {
        std::vector<png_byte> row;
        for (png_uint_32 x = 0; x < 9; ++x)
            for (png_byte v : {png_byte(x * 20), png_byte(y * 30), png_byte(x + y), png_byte((x * 37 + y * 11) % 256)})
                row.push_back(v);
        layout.rows.push_back(row);
    }
    PngLayout interlaced = layout;
    interlaced.interlaced = true;
    const std::vector<ULONG> plain = Pixels(Load(Write("alpha.png", layout)));
    EXPECT_EQ(Pixels(Load(Write("alpha-interlaced.png", interlaced))), plain);
    const png_byte* p = layout.rows[2].data() + 4 * 3; // (3, 2)
    const auto over = [&](int c) { return (p[c] * p[3] + 255 * (255 - p[3]) + 127) / 255; };
    EXPECT_EQ(plain[2 * 9 + 3], ULONG(over(0)) << 16 | ULONG(over(1)) << 8 | ULONG(over(2)));

    PngLayout keyed = Layout(2, 1, PNG_COLOR_TYPE_RGB, 8, {{1, 2, 3, 4, 5, 6}});
    std::string path = (dir_ / "keyed.png").string();
    std::vector<png_bytep> rows{keyed.rows[0].data()};
    std::FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, 2, 1, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_16 key{};
    key.red = 4;
    key.green = 5;
    key.blue = 6;
    png_set_tRNS(png, info, nullptr, 0, &key);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    EXPECT_EQ(Pixels(Load(path)), (std::vector<ULONG>{0x010203, 0xFFFFFF}));
}

TEST_F(PngPicture, RowsArePaddedWithZerosAsTheEngineLaysThemOut) {
    for (int colorType : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA}) {
        const size_t samples = colorType == PNG_COLOR_TYPE_RGB ? 3 : 4;
        PngLayout layout =
            Layout(5, 2, colorType, 8, std::vector<std::vector<png_byte>>(2, std::vector<png_byte>(5 * samples, 0xFF)));
        HostPicture p = Load(Write("padded.png", layout));
        ASSERT_EQ(p.stride, 16);
        ASSERT_EQ(p.pixels.size(), 32u);
        for (int y = 0; y < 2; ++y) {
            EXPECT_EQ(p.pixels[y * 16 + 14], 0xFF);
            EXPECT_EQ(p.pixels[y * 16 + 15], 0x00) << "padding of row " << y;
        }
    }
}

TEST_F(PngPicture, SavedPicturesLoadBackTheSame) {
    HostPicture original = HostPicture::Filled(5, 3, 0xFFFFFF);
    original.SetPixel(4, 2, 0xFF0000);
    original.SetPixel(0, 1, 0x123456);
    std::string error;
    std::string path = (dir_ / "saved.png").string();
    ASSERT_TRUE(picture::SavePng(path, original, &error)) << error;
    EXPECT_EQ(Pixels(Load(path)), Pixels(original));
}

TEST_F(PngPicture, ErrorsNameTheFileAndTheCause) {
    std::string missing = (dir_ / "missing.png").string();
    EXPECT_EQ(LoadError(missing), missing + ": No such file or directory");

    std::string text = (dir_ / "text.png").string();
    std::ofstream(text) << "hello, this is not a picture";
    EXPECT_EQ(LoadError(text), text + ": not a PNG file");

    std::string good = Write("good.png", Layout(64, 64, PNG_COLOR_TYPE_GRAY, 8,
                                                std::vector<std::vector<png_byte>>(64, std::vector<png_byte>(64, 7))));
    std::string cut = (dir_ / "cut.png").string();
    fs::copy_file(good, cut);
    fs::resize_file(cut, fs::file_size(good) - 30);
    std::string error = LoadError(cut);
    EXPECT_EQ(error.rfind(cut + ": ", 0), 0u) << error;
    EXPECT_GT(error.size(), cut.size() + 2);

    std::string dir = dir_.string();
    EXPECT_EQ(LoadError(dir).rfind(dir + ": ", 0), 0u);

    std::string unwritable = (dir_ / "no-such-folder" / "x.png").string();
    EXPECT_FALSE(picture::SavePng(unwritable, HostPicture::Filled(1, 1), &error));
    EXPECT_EQ(error, unwritable + ": No such file or directory");
}

} // namespace
