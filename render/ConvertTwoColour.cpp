// Two-colour conversion: each byte of a pixel reduced to six bits and lit when above the
// DITHER_TWO_COLOUR threshold T; none lit is black, all lit white, anything between colour.
// (b >> 2) > T is b > 4 T + 3, so a pixel is black when its largest byte is at most 4 T + 3 and
// not white (first plane) when its smallest byte is: two comparisons, no branch per pixel.
#include <array>

#include "DotPacking.h"
#include "RasterConversion.h"

namespace {

struct RowThresholds {
    uint8_t byte[16]; // 4 T + 3 for the row's eight columns, written twice (any column phase)
    explicit RowThresholds(ULONG row) {
        for (int c = 0; c < 16; ++c) {
            byte[c] = static_cast<uint8_t>(4 * DITHER_TWO_COLOUR[row & 7][c & 7] + 3);
        }
    }
};

inline BYTE Smallest(const BYTE* p) {
    BYTE m = p[0] < p[1] ? p[0] : p[1];
    return m < p[2] ? m : p[2];
}

inline BYTE Largest(const BYTE* p) {
    BYTE m = p[0] > p[1] ? p[0] : p[1];
    return m > p[2] ? m : p[2];
}

// Writes the first-plane byte and the second-plane byte of eight pixels.
inline void EightDots(const BYTE* p, const uint8_t* threshold, BYTE* out) {
    uint8_t first[8];
    uint8_t second[8];
    for (int c = 0; c < 8; ++c) {
        first[c] = static_cast<uint8_t>(Smallest(p + 3 * c) <= threshold[c]);
        second[c] = static_cast<uint8_t>(Largest(p + 3 * c) <= threshold[c]);
    }
    out[0] = PackEightFlags(first);
    out[1] = PackEightFlags(second);
}

#if RASTER_SSE2
// Sixteen pixels are 48 bytes, three vectors of sixteen bytes. Loaded again one and two bytes on, each
// vector holds in lane l the bytes l, l + 1 and l + 2; the smallest and largest of them are those of a
// pixel in the lanes where a pixel starts (every third byte). In each lane exactly one of the three
// vectors has a pixel starting, so the three vectors' results merge into sixteen, one per pixel, in a
// fixed order. A byte's excess over its threshold (saturating subtraction) is zero where the byte is at
// most the threshold; the other lanes' threshold is 255, whose excess is always zero, so OR-ing the three
// excesses leaves each pixel's own.

// The pixel (0 to 15) that starts at lane `lane` of vector `vector`, or -1.
constexpr int PixelOfLane(int vector, int lane) {
    const int byte = 16 * vector + lane;
    return byte % 3 == 0 ? byte / 3 : -1;
}

constexpr int PixelOfMaskBit(int bit) {
    for (int vector = 0; vector < 3; ++vector) {
        if (PixelOfLane(vector, bit) >= 0) {
            return PixelOfLane(vector, bit);
        }
    }
    return -1;
}

// For one byte of a plane's 16-bit answer mask, its dots in place in four output bytes: pixels 0 to 7 in
// the first byte, 8 to 15 in the third, leftmost in the most significant bit. The second plane's go
// eight bits higher.
constexpr std::array<uint32_t, 256> MakeDotTable(int maskByte) {
    std::array<uint32_t, 256> table{};
    for (unsigned value = 0; value < 256; ++value) {
        uint32_t dots = 0;
        for (int b = 0; b < 8; ++b) {
            if ((value >> b) & 1) {
                const int pixel = PixelOfMaskBit(8 * maskByte + b);
                dots |= pixel < 8 ? 1u << (7 - pixel) : 1u << (16 + 15 - pixel);
            }
        }
        table[value] = dots;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kLowDots = MakeDotTable(0);
constexpr std::array<uint32_t, 256> kHighDots = MakeDotTable(1);

// The lane thresholds of the three vectors for every row phase and column phase of a run's first pixel.
struct LaneThresholds {
    alignas(16) uint8_t lanes[8][8][3][16]; // [row][column phase][vector][lane]
    LaneThresholds() {
        for (int row = 0; row < 8; ++row) {
            for (int phase = 0; phase < 8; ++phase) {
                for (int vector = 0; vector < 3; ++vector) {
                    for (int lane = 0; lane < 16; ++lane) {
                        const int pixel = PixelOfLane(vector, lane);
                        lanes[row][phase][vector][lane] = static_cast<uint8_t>(
                            pixel < 0 ? 255 : 4 * DITHER_TWO_COLOUR[row][(phase + pixel) & 7] + 3);
                    }
                }
            }
        }
    }
};

const LaneThresholds& Thresholds() {
    static const LaneThresholds thresholds;
    return thresholds;
}

// Writes four bytes per sixteen pixels for `runs` runs from the row's start; the thresholds start at row
// phase `row` and column phase `phase`.
void SixteenAtATime(const BYTE* pixels, unsigned long runs, ULONG row, unsigned phase, BYTE*& out) {
    const __m128i* t = reinterpret_cast<const __m128i*>(Thresholds().lanes[row & 7][phase & 7][0]);
    const __m128i t0 = _mm_load_si128(t), t1 = _mm_load_si128(t + 1), t2 = _mm_load_si128(t + 2);
    auto excess = [](const BYTE* p, __m128i threshold, __m128i& smallest, __m128i& largest) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2));
        smallest = _mm_or_si128(smallest, _mm_subs_epu8(_mm_min_epu8(_mm_min_epu8(a, b), c), threshold));
        largest = _mm_or_si128(largest, _mm_subs_epu8(_mm_max_epu8(_mm_max_epu8(a, b), c), threshold));
    };
    const __m128i zero = _mm_setzero_si128();
    for (unsigned long run = 0; run < runs; ++run, pixels += 48, out += 4) {
        __m128i smallest = zero;
        __m128i largest = zero;
        excess(pixels, t0, smallest, largest);
        excess(pixels + 16, t1, smallest, largest);
        excess(pixels + 32, t2, smallest, largest);
        const unsigned first = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(smallest, zero)));
        const unsigned second = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(largest, zero)));
        const uint32_t dots = (kLowDots[first & 0xFF] | kHighDots[first >> 8]) |
                              (kLowDots[second & 0xFF] | kHighDots[second >> 8]) << 8;
        std::memcpy(out, &dots, 4); // x86 is little-endian: the first byte is the lowest
    }
}
#endif

ULONG Convert(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output, bool vector) {
    if (pixels == nullptr || output == nullptr || rows == 0 || width == 0 || stride < size_t{width} * 3) {
        return 0;
    }
    (void)vector;
    // Dots of a run of eight that crosses the end of a row; the two planes are collected side by side.
    DotCollector first;
    DotCollector second;
    BYTE* out = output;
    auto push = [&](const BYTE* p, uint8_t threshold) {
        second.Push(Largest(p) <= threshold ? 1u : 0u);
        if (first.Push(Smallest(p) <= threshold ? 1u : 0u)) {
            *out++ = first.Byte();
            *out++ = second.Byte();
        }
    };
    for (ULONG r = 0; r < rows; ++r) {
        const RowThresholds thresholds(r);
        const BYTE* row = pixels + r * stride;
        ULONG x = 0;
        for (; !first.Aligned() && x < width; ++x) {
            push(row + 3 * x, thresholds.byte[x & 7]);
        }
#if RASTER_SSE2
        if (vector) {
            const unsigned long runs = VectorRuns(width - x, r + 1 == rows);
            SixteenAtATime(row + 3 * x, runs, r, x & 7, out);
            x += static_cast<ULONG>(16 * runs);
        }
#endif
        for (; x + 8 <= width; x += 8, out += 2) {
            EightDots(row + 3 * x, thresholds.byte + (x & 7), out);
        }
        for (; x < width; ++x) {
            push(row + 3 * x, thresholds.byte[x & 7]);
        }
    }
    // A run of eight that the page does not complete is not written, and not counted.
    return static_cast<ULONG>(out - output);
}

} // namespace

ULONG ConvertTwoColour(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output) {
    return Convert(pixels, rows, stride, width, output, true);
}

ULONG ConvertTwoColourPlain(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output) {
    return Convert(pixels, rows, stride, width, output, false);
}
