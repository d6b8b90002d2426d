// The dither: fixed pictures with known dots, and random and photo-like pictures compared bit for bit
// with the plain reference at every width that matters.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <vector>

#include "pictures.h"
#include "raster_conversion.h"
#include "reference_raster.h"

namespace {

using Conversion = ULONG (*)(const BYTE*, ULONG, size_t, ULONG, BYTE*);

std::vector<uint8_t> Converted(Conversion convert, Picture& p) {
    std::vector<uint8_t> out(p.bytes.size() / 3 + 2, 0xEE);
    ULONG n = convert(p.bytes.data(), p.height, p.stride, p.width, out.data());
    out.resize(n);
    return out;
}

std::vector<uint8_t> Mono(Picture& p) { return Converted(ConvertMono, p); }

std::vector<uint8_t> TwoColour(Picture& p) { return Converted(ConvertTwoColour, p); }

// Both ways of each conversion, the vector one (where the machine has it) and the plain one.
struct Way {
    const char* name;
    Conversion mono;
    Conversion twoColour;
};
const Way kWays[] = {{"vector", ConvertMono, ConvertTwoColour}, {"plain", ConvertMonoPlain, ConvertTwoColourPlain}};

TEST(DitherMatrices, HoldTheirRangesAndDifferInTwoCells) {
    int differing = 0;
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(DITHER_MONO[r][c], reference::kMono[r][c]);
            EXPECT_EQ(DITHER_TWO_COLOUR[r][c], reference::TwoColourThreshold(r, c));
            differing += DITHER_MONO[r][c] != DITHER_TWO_COLOUR[r][c];
        }
    }
    EXPECT_EQ(differing, 2);
}

TEST(ConvertMono, BlankPageIsAllZeroAndSeventyTwoBytesARow) {
    Picture page(576, 220);
    auto out = Mono(page);
    ASSERT_EQ(out.size(), 72u * 220);
    for (uint8_t b : out) {
        ASSERT_EQ(b, 0);
    }
}

TEST(ConvertMono, BlackPrintsEveryDot) {
    Picture page(432, 16, 0);
    auto out = Mono(page);
    ASSERT_EQ(out.size(), 54u * 16);
    for (uint8_t b : out) {
        ASSERT_EQ(b, 0xFF);
    }
}

TEST(ConvertMono, MidGreyGivesThirtyOneDotsPerTile) {
    Picture page(576, 32);
    page.Fill(128, 128, 128);
    auto out = Mono(page);
    ASSERT_EQ(out.size(), 72u * 32);
    for (int tileRow = 0; tileRow < 4; ++tileRow) {
        for (int tileCol = 0; tileCol < 72; ++tileCol) {
            int dots = 0;
            for (int r = 0; r < 8; ++r) {
                dots += std::popcount(out[(tileRow * 8 + r) * 72 + tileCol]);
            }
            ASSERT_EQ(dots, 31) << "tile " << tileRow << "," << tileCol;
        }
    }
}

TEST(ConvertTwoColour, MidGreyIsHalfBlackHalfWhiteNeverColour) {
    Picture page(576, 16);
    page.Fill(128, 128, 128);
    auto out = TwoColour(page);
    ASSERT_EQ(out.size(), 144u * 16);
    for (int tileRow = 0; tileRow < 2; ++tileRow) {
        for (int tileCol = 0; tileCol < 72; ++tileCol) {
            int black = 0;
            for (int r = 0; r < 8; ++r) {
                uint8_t first = out[(tileRow * 8 + r) * 144 + tileCol * 2];
                uint8_t second = out[(tileRow * 8 + r) * 144 + tileCol * 2 + 1];
                ASSERT_EQ(first, second) << "a colour dot in a grey page";
                black += std::popcount(second);
            }
            ASSERT_EQ(black, 32);
        }
    }
}

TEST(ConvertTwoColour, PureRedIsColourEverywhere) {
    Picture page(576, 8);
    page.Fill(0, 0, 255);
    auto out = TwoColour(page);
    ASSERT_EQ(out.size(), 144u * 8);
    for (size_t i = 0; i < out.size(); i += 2) {
        ASSERT_EQ(out[i], 0xFF);
        ASSERT_EQ(out[i + 1], 0x00);
    }
}

TEST(ConvertTwoColour, PureBlackIsBlackEvenWhereTheThresholdIsZero) {
    Picture page(576, 8, 0);
    auto out = TwoColour(page);
    for (uint8_t b : out) {
        ASSERT_EQ(b, 0xFF);
    }
    // Row 4, column 4 holds the threshold 0: a byte of 0 is not above it, so the dot stays black.
    EXPECT_EQ(out[4 * 144], 0xFF);
    EXPECT_EQ(out[4 * 144 + 1], 0xFF);
}

TEST(ConvertTwoColour, RasterIsOneHundredFortyFourBytesARowWithTheLastEightPixels) {
    Picture page(576, 9);
    for (int x = 568; x < 576; ++x) {
        page.Set(x, 8, 0, 0, 0);
    }
    auto out = TwoColour(page);
    ASSERT_EQ(out.size(), 144u * 9);
    EXPECT_EQ(out[144 * 9 - 2], 0xFF);
    EXPECT_EQ(out[144 * 9 - 1], 0xFF);
    EXPECT_EQ(out[144 * 9 - 3], 0x00);
}

TEST(Conversions, RefuseMissingOrZeroInputs) {
    Picture page(16, 2);
    std::vector<uint8_t> out(64);
    for (auto convert : {ConvertMono, ConvertTwoColour, ConvertMonoPlain, ConvertTwoColourPlain}) {
        EXPECT_EQ(convert(nullptr, 2, page.stride, 16, out.data()), 0u);
        EXPECT_EQ(convert(page.bytes.data(), 0, page.stride, 16, out.data()), 0u);
        EXPECT_EQ(convert(page.bytes.data(), 2, 0, 16, out.data()), 0u);
        EXPECT_EQ(convert(page.bytes.data(), 2, page.stride, 0, out.data()), 0u);
        EXPECT_EQ(convert(page.bytes.data(), 2, page.stride, 16, nullptr), 0u);
        // A stride shorter than a row of pixels would read past the picture.
        EXPECT_EQ(convert(page.bytes.data(), 2, 45, 16, out.data()), 0u);
    }
}

TEST(ConvertTwoColour, CountsOnlyTheBytesItWrites) {
    // Four pixels never complete a run of eight: nothing is written, and nothing is claimed.
    Picture page(4, 1, 0);
    std::vector<uint8_t> out(4, 0xEE);
    EXPECT_EQ(ConvertTwoColour(page.bytes.data(), 1, page.stride, 4, out.data()), 0u);
    EXPECT_EQ(out[0], 0xEE);
    // Twelve pixels: one run of eight, two bytes.
    Picture wider(12, 1, 0);
    EXPECT_EQ(ConvertTwoColour(wider.bytes.data(), 1, wider.stride, 12, out.data()), 2u);
}

struct Size {
    int width;
    int height;
};

class MatchesReference : public ::testing::TestWithParam<Size> {};

TEST_P(MatchesReference, OnRandomPictures) {
    auto [w, h] = GetParam();
    for (const Way& way : kWays) {
        for (unsigned seed : {1u, 2u, 3u}) {
            Picture page = RandomPicture(w, h, seed);
            EXPECT_EQ(Converted(way.mono, page), reference::Mono(page.bytes.data(), h, page.stride, w))
                << way.name << " " << w << "x" << h;
            EXPECT_EQ(Converted(way.twoColour, page), reference::TwoColour(page.bytes.data(), h, page.stride, w))
                << way.name << " " << w << "x" << h;
        }
    }
}

TEST_P(MatchesReference, OnPhotoLikeAndThresholdEdgePictures) {
    auto [w, h] = GetParam();
    for (const Way& way : kWays) {
        Picture photo = PhotoLikePicture(w, h);
        EXPECT_EQ(Converted(way.mono, photo), reference::Mono(photo.bytes.data(), h, photo.stride, w)) << way.name;
        EXPECT_EQ(Converted(way.twoColour, photo), reference::TwoColour(photo.bytes.data(), h, photo.stride, w))
            << way.name;
    }
    // Grey levels on both sides of every threshold, and single bytes on both sides of 4T + 4.
    Picture edges(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int v = (x * 7 + y * 13) % 256;
            edges.Set(x, y, static_cast<uint8_t>(v), static_cast<uint8_t>((v + (y & 3)) & 0xFF),
                      static_cast<uint8_t>(y & 1 ? v : 255 - v));
        }
    }
    for (const Way& way : kWays) {
        EXPECT_EQ(Converted(way.mono, edges), reference::Mono(edges.bytes.data(), h, edges.stride, w)) << way.name;
        EXPECT_EQ(Converted(way.twoColour, edges), reference::TwoColour(edges.bytes.data(), h, edges.stride, w))
            << way.name;
    }
}

TEST_P(MatchesReference, WhateverLiesBetweenTheRows) {
    // Rows further apart than their pixels, with black and random bytes between them: the vector paths
    // read two bytes past a run of sixteen pixels, and nothing read there may reach a dot.
    auto [w, h] = GetParam();
    for (uint8_t between : {uint8_t{0}, uint8_t{0xFF}, uint8_t{0x80}}) {
        Picture photo = PhotoLikePicture(w, h);
        const size_t stride = photo.stride + 8;
        std::vector<uint8_t> spaced(stride * static_cast<size_t>(h), between);
        for (int y = 0; y < h; ++y) {
            std::copy_n(photo.bytes.data() + y * photo.stride, static_cast<size_t>(w) * 3, spaced.data() + y * stride);
        }
        for (const Way& way : kWays) {
            std::vector<uint8_t> mono(spaced.size(), 0xEE);
            mono.resize(way.mono(spaced.data(), h, stride, w, mono.data()));
            EXPECT_EQ(mono, reference::Mono(photo.bytes.data(), h, photo.stride, w)) << way.name;
            std::vector<uint8_t> two(spaced.size(), 0xEE);
            two.resize(way.twoColour(spaced.data(), h, stride, w, two.data()));
            EXPECT_EQ(two, reference::TwoColour(photo.bytes.data(), h, photo.stride, w)) << way.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, MatchesReference,
                         ::testing::Values(Size{576, 40}, Size{432, 40}, Size{576, 1}, Size{1, 9}, Size{7, 11},
                                           Size{9, 9}, Size{13, 17}, Size{577, 9}, Size{1420, 10}, Size{16, 3},
                                           Size{31, 31}, Size{16, 1}, Size{17, 8}, Size{47, 9}, Size{583, 16}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

TEST(ConvertMono, ReadsOnlyTheRowsPixelsNotThePadding) {
    // Padding bytes of each row are black: they must not show up as dots.
    Picture page(5, 8);
    for (int y = 0; y < 8; ++y) {
        page.bytes[y * page.stride + 15] = 0;
    }
    auto out = Mono(page);
    ASSERT_EQ(out.size(), 5u);
    for (uint8_t b : out) {
        EXPECT_EQ(b, 0);
    }
}

} // namespace
