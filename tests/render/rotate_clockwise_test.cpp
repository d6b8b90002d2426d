// The clockwise turn of a landscape page.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "pictures.h"
#include "raster_conversion.h"
#include "reference_raster.h"

namespace {

using Turn = void (*)(const BYTE*, ULONG, ULONG, size_t, BYTE*);

std::vector<uint8_t> Rotate(Picture& p, Turn turn = RotateClockwiseInto) {
    std::vector<uint8_t> out(PixelStride(p.height) * p.width, 0x11);
    turn(p.bytes.data(), p.width, p.height, p.stride, out.data());
    return out;
}

TEST(RotateClockwise, LeftColumnBecomesTheFirstRowBottomPixelFirst) {
    // 3 wide, 2 high: a b c / d e f turns into d a / e b / f c.
    Picture p(3, 2);
    const uint8_t v[2][3] = {{'a', 'b', 'c'}, {'d', 'e', 'f'}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            p.Set(x, y, v[y][x], v[y][x] + 1, v[y][x] + 2);
        }
    }
    auto out = Rotate(p);
    ASSERT_EQ(out.size(), 8u * 3); // stride of two pixels is 6 rounded up to 8
    const uint8_t want[3][2] = {{'d', 'a'}, {'e', 'b'}, {'f', 'c'}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(out[y * 8 + x * 3], want[y][x]);
            EXPECT_EQ(out[y * 8 + x * 3 + 2], want[y][x] + 2);
        }
        EXPECT_EQ(out[y * 8 + 6], 0xFF) << "padding is white";
        EXPECT_EQ(out[y * 8 + 7], 0xFF);
    }
}

TEST(RotateClockwise, MatchesReferenceOnOddSizes) {
    // Sizes on both sides of the two-by-two blocks: one, two and three pixels, odd and even counts, and a
    // band's worth of rows and one more.
    for (auto [w, h] : {std::pair{1420, 576},
                        {7, 5},
                        {33, 65},
                        {1, 1},
                        {64, 3},
                        {2, 2},
                        {3, 3},
                        {2, 7},
                        {3, 2},
                        {16, 4},
                        {17, 5},
                        {18, 6},
                        {35, 1},
                        {1, 35},
                        {2000, 576}}) {
        Picture p = RandomPicture(w, h, static_cast<unsigned>(w * 31 + h));
        const std::vector<uint8_t> want = reference::Rotate(p.bytes.data(), w, h, p.stride);
        EXPECT_EQ(Rotate(p), want) << w << "x" << h;
        EXPECT_EQ(Rotate(p, RotateClockwisePlainInto), want) << "plain " << w << "x" << h;
    }
}

TEST(RotateClockwise, ReadsNoSourcePaddingAndWritesEveryPaddingWhite) {
    // Source rows further apart than their pixels, with black between them; the result's padding is white
    // whatever the block held before.
    for (auto [w, h] : {std::pair{9, 7}, {20, 10}}) {
        Picture p = RandomPicture(w, h, 5);
        const size_t stride = p.stride + 12;
        std::vector<uint8_t> spaced(stride * static_cast<size_t>(h), 0);
        for (int y = 0; y < h; ++y) {
            std::copy_n(p.bytes.data() + y * p.stride, static_cast<size_t>(w) * 3, spaced.data() + y * stride);
        }
        for (Turn turn : {RotateClockwiseInto, RotateClockwisePlainInto}) {
            std::vector<uint8_t> out(PixelStride(h) * w, 0x22);
            turn(spaced.data(), w, h, stride, out.data());
            EXPECT_EQ(out, reference::Rotate(p.bytes.data(), w, h, p.stride)) << w << "x" << h;
        }
    }
}

TEST(RotateClockwise, LandscapePageConvertsToRowsOfTheRollWidth) {
    // An 80 mm landscape page: 1420 dots along the paper, 576 across. Its leftmost column is black.
    Picture page(1420, 576);
    for (int y = 0; y < 576; ++y) {
        page.Set(0, y, 0, 0, 0);
    }
    auto upright = Rotate(page);
    std::vector<uint8_t> dots(72 * 1420 + 1);
    ASSERT_EQ(ConvertMono(upright.data(), 1420, PixelStride(576), 576, dots.data()), 72u * 1420);
    for (int i = 0; i < 72; ++i) {
        EXPECT_EQ(dots[i], 0xFF) << "first printer row is the leftmost column";
    }
    for (size_t i = 72; i < 72u * 1420; ++i) {
        ASSERT_EQ(dots[i], 0) << i;
    }
}

} // namespace
