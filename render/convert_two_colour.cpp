// Two-colour conversion: each byte of a pixel reduced to six bits and lit when above the
// DITHER_TWO_COLOUR threshold T; none lit is black, all lit white, anything between colour.
// (b >> 2) > T is b > 4 T + 3, so a pixel is black when its largest byte is at most 4 T + 3 and
// not white (first plane) when its smallest byte is: two comparisons, no branch per pixel.
#include <array>

#include "dot_packing.h"
#include "raster_conversion.h"

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
// Sixteen pixels (48 bytes, three vectors) at a time: every byte compared with its pixel's threshold at
// once (a saturating subtraction is zero where the byte is at most the threshold), the 48 answers
// gathered into a mask, and the mask turned into dots by a table four pixels (twelve answers) at a time.

// Four pixels' twelve "byte at most its threshold" answers (three a pixel, first pixel lowest) to their
// dots in place in a run of eight: the first plane's in the low byte, the second plane's in the high
// byte; pixels 0 to 3 of the run in the top four bits (`left`), pixels 4 to 7 in the bottom four.
constexpr std::array<uint16_t, 4096> MakeQuadTable(bool left) {
    std::array<uint16_t, 4096> table{};
    for (unsigned answers = 0; answers < 4096; ++answers) {
        unsigned first = 0;
        unsigned second = 0;
        for (unsigned k = 0; k < 4; ++k) {
            const unsigned pixel = (answers >> (3 * k)) & 7;
            first = (first << 1) | (pixel != 0 ? 1u : 0u);   // some byte at most: not white
            second = (second << 1) | (pixel == 7 ? 1u : 0u); // every byte at most: black
        }
        const unsigned shift = left ? 4 : 0;
        table[answers] = static_cast<uint16_t>(first << shift | second << (8 + shift));
    }
    return table;
}
constexpr std::array<uint16_t, 4096> kLeftQuad = MakeQuadTable(true);
constexpr std::array<uint16_t, 4096> kRightQuad = MakeQuadTable(false);

// Each byte's threshold in the three vectors for every row phase and column phase of a run's first pixel.
struct ByteThresholds {
    alignas(16) uint8_t bytes[8][8][48]; // [row][column phase][byte of the run]
    ByteThresholds() {
        for (int row = 0; row < 8; ++row) {
            for (int phase = 0; phase < 8; ++phase) {
                for (int byte = 0; byte < 48; ++byte) {
                    bytes[row][phase][byte] =
                        static_cast<uint8_t>(4 * DITHER_TWO_COLOUR[row][(phase + byte / 3) & 7] + 3);
                }
            }
        }
    }
};

const ByteThresholds& Thresholds() {
    static const ByteThresholds thresholds;
    return thresholds;
}

// Writes four bytes per sixteen pixels for `runs` runs from the row's start; the thresholds start at row
// phase `row` and column phase `phase`.
void SixteenAtATime(const BYTE* pixels, unsigned long runs, ULONG row, unsigned phase, BYTE*& out) {
    const __m128i* t = reinterpret_cast<const __m128i*>(Thresholds().bytes[row & 7][phase & 7]);
    const __m128i t0 = _mm_load_si128(t), t1 = _mm_load_si128(t + 1), t2 = _mm_load_si128(t + 2);
    const __m128i zero = _mm_setzero_si128();
    auto atMost = [&](const BYTE* p, __m128i threshold) -> uint64_t {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(bytes, threshold), zero)));
    };
    for (unsigned long run = 0; run < runs; ++run, pixels += 48, out += 4) {
        const uint64_t mask = atMost(pixels, t0) | atMost(pixels + 16, t1) << 16 | atMost(pixels + 32, t2) << 32;
        const uint32_t dots = static_cast<uint32_t>(kLeftQuad[mask & 4095] | kRightQuad[(mask >> 12) & 4095]) |
                              static_cast<uint32_t>(kLeftQuad[(mask >> 24) & 4095] | kRightQuad[mask >> 36]) << 16;
        std::memcpy(out, &dots, 4); // x86 is little-endian: the first byte is the lowest
    }
}
#endif

ULONG Convert(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output, [[maybe_unused]] bool vector) {
    if (pixels == nullptr || output == nullptr || rows == 0 || width == 0 || stride < size_t{width} * 3) {
        return 0;
    }
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
            const unsigned long runs = (width - x) / 16;
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
