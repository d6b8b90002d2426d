// 24-bit test pictures with the surface's row layout (stride = 3 x width rounded up to four), filled
// the way the tests and benchmarks need them: one colour, random bytes, or a photo-like scene.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    size_t stride = 0;
    std::vector<uint8_t> bytes;

    Picture(int w, int h, uint8_t fill = 0xFF)
        : width(w), height(h), stride((static_cast<size_t>(w) * 3 + 3) / 4 * 4), bytes(stride * h, fill) {}

    uint8_t* Pixel(int x, int y) { return bytes.data() + y * stride + x * 3; }
    void Set(int x, int y, uint8_t b0, uint8_t b1, uint8_t b2) {
        uint8_t* p = Pixel(x, y);
        p[0] = b0;
        p[1] = b1;
        p[2] = b2;
    }
    void Fill(uint8_t b0, uint8_t b1, uint8_t b2) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                Set(x, y, b0, b1, b2);
            }
        }
    }
};

inline Picture RandomPicture(int w, int h, unsigned seed) {
    Picture p(w, h);
    std::mt19937 gen(seed);
    for (auto& b : p.bytes) {
        b = static_cast<uint8_t>(gen());
    }
    return p;
}

// Smooth gradients with a red disc, dark text-like bars and a little noise: what a receipt with a
// photo or logo looks like to the dither.
inline Picture PhotoLikePicture(int w, int h, unsigned seed = 7) {
    Picture p(w, h);
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int base = 255 * x / (w > 1 ? w - 1 : 1);
            int shade = (base + 128 * ((y / 64) % 2)) / 2 + noise(gen);
            int dx = x - w / 2;
            int dy = (y % 400) - 200;
            bool disc = dx * dx + dy * dy < 120 * 120;
            bool bar = (y % 50) < 6 && (x / 24) % 3 != 0;
            if (bar) {
                p.Set(x, y, 0, 0, 0);
            } else if (disc) {
                p.Set(x, y, clamp(shade / 3), clamp(shade / 3), clamp(200 + noise(gen)));
            } else {
                p.Set(x, y, clamp(shade), clamp(shade), clamp(shade));
            }
        }
    }
    return p;
}
