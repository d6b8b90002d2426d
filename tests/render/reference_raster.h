// Plain, pixel-by-pixel versions of the dither and the turn, written straight from their rules. The
// driver's fast versions must match them bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reference {

inline const int kMono[8][8] = {
    {1, 33, 9, 41, 3, 35, 11, 43},    {59, 17, 49, 25, 57, 19, 51, 27}, {15, 47, 5, 37, 13, 45, 7, 39},
    {55, 31, 63, 21, 53, 29, 61, 23}, {2, 34, 10, 42, 1, 32, 8, 40},    {56, 18, 50, 26, 58, 16, 48, 24},
    {12, 44, 6, 38, 14, 46, 4, 36},   {52, 28, 60, 22, 54, 30, 62, 20},
};

inline int TwoColourThreshold(int row, int column) {
    if (row == 3 && column == 2) {
        return 62;
    }
    if (row == 4 && column == 4) {
        return 0;
    }
    return kMono[row][column];
}

// Packs bits eight to a byte, first bit in the most significant place; a partial byte is never written.
struct BitSink {
    std::vector<uint8_t>* out;
    int bits = 0;
    int count = 0;
    void Push(int bit) {
        bits = bits * 2 + bit;
        if (++count == 8) {
            out->push_back(static_cast<uint8_t>(bits));
            bits = count = 0;
        }
    }
};

inline std::vector<uint8_t> Mono(const uint8_t* pixels, int rows, size_t stride, int width) {
    std::vector<uint8_t> out;
    BitSink sink{&out};
    for (int r = 0; r < rows; ++r) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = pixels + r * stride + x * 3;
            int grey = ((p[0] + p[1] + p[2]) / 3) >> 2;
            sink.Push(grey < kMono[r % 8][x % 8] ? 1 : 0);
        }
    }
    return out;
}

inline std::vector<uint8_t> TwoColour(const uint8_t* pixels, int rows, size_t stride, int width) {
    std::vector<uint8_t> out;
    int first = 0;
    int second = 0;
    int count = 0;
    for (int r = 0; r < rows; ++r) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = pixels + r * stride + x * 3;
            int t = TwoColourThreshold(r % 8, x % 8);
            int lit = 0;
            for (int c = 0; c < 3; ++c) {
                if ((p[c] >> 2) > t) {
                    ++lit;
                }
            }
            bool black = lit == 0;
            bool white = lit == 3;
            first = first * 2 + (white ? 0 : 1);
            second = second * 2 + (black ? 1 : 0);
            if (++count == 8) {
                out.push_back(static_cast<uint8_t>(first));
                out.push_back(static_cast<uint8_t>(second));
                first = second = count = 0;
            }
        }
    }
    return out;
}

inline size_t Stride(int width) { return (static_cast<size_t>(width) * 3 + 3) / 4 * 4; }

inline std::vector<uint8_t> Rotate(const uint8_t* image, int width, int height, size_t stride) {
    size_t newStride = Stride(height);
    std::vector<uint8_t> out(newStride * width, 0xFF);
    for (int y2 = 0; y2 < width; ++y2) {
        for (int x2 = 0; x2 < height; ++x2) {
            for (int c = 0; c < 3; ++c) {
                out[y2 * newStride + x2 * 3 + c] = image[(height - 1 - x2) * stride + y2 * 3 + c];
            }
        }
    }
    return out;
}

} // namespace reference
