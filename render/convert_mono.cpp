// Mono conversion: grey level ((b0 + b1 + b2) / 3) >> 2 against DITHER_MONO; a dot where it is lower.
// For whole numbers, ((s / 3) >> 2) < T is the same as s < 12 T, so the sum of a pixel's bytes is
// compared with a threshold twelve times the matrix value: no division, no branch per pixel.
#include <array>

#include "dot_packing.h"
#include "raster_conversion.h"

namespace {

// The eight sum thresholds of one matrix row, written twice, so that eight in a row can be read from
// any column phase.
struct RowThresholds {
    uint16_t sum[16];
    explicit RowThresholds(ULONG row) {
        for (int c = 0; c < 16; ++c) {
            sum[c] = static_cast<uint16_t>(12 * DITHER_MONO[row & 7][c & 7]);
        }
    }
};

inline unsigned Dot(const BYTE* p, unsigned threshold) { return unsigned(p[0] + p[1] + p[2]) < threshold ? 1u : 0u; }

inline BYTE EightDots(const BYTE* p, const uint16_t* threshold) {
    unsigned byte = 0;
    for (int c = 0; c < 8; ++c) {
        byte |= unsigned(unsigned(p[3 * c] + p[3 * c + 1] + p[3 * c + 2]) < threshold[c]) << (7 - c);
    }
    return static_cast<BYTE>(byte);
}

#if RASTER_SSE2
// A run of sixteen pixels is 48 bytes; the vector path reads two bytes beyond it (their values never
// reach a dot). Whole runs that may be read that way from a row of `pixels` pixels, when the row is the
// last of the picture and nothing lies beyond it.
inline unsigned long VectorRuns(unsigned long pixels, bool lastRow) {
    const unsigned long runs = pixels / 16;
    return lastRow && runs > 0 && pixels % 16 == 0 ? runs - 1 : runs;
}

// Sixteen pixels are 48 bytes, three vectors of eight 16-bit lanes. Lane i of a vector holds bytes 2i and
// 2i + 1, and the same vector loaded two bytes on holds bytes 2i + 2 and 2i + 3, so two additions give the
// sums of the three bytes from 2i ("even" sums) and from 2i + 1 ("odd" sums). A pixel starts at every
// third byte; in each lane exactly one of the three vectors has a pixel starting at its even byte, and
// exactly one at its odd byte. The thresholds of the other lanes are 0, which no sum is below, so OR-ing
// the three vectors' comparisons leaves sixteen answers, one per pixel, in a fixed order.

// The pixel (0 to 15) whose sum lane `lane` of vector `vector` holds, even or odd; -1 for none.
constexpr int PixelOfLane(int vector, int lane, bool odd) {
    const int byte = 16 * vector + 2 * lane + (odd ? 1 : 0);
    return byte % 3 == 0 ? byte / 3 : -1;
}

// Bit b of the 16-bit answer mask (b < 8: even lane b, otherwise odd lane b - 8) to the pixel it is.
constexpr int PixelOfMaskBit(int bit) {
    for (int vector = 0; vector < 3; ++vector) {
        const int pixel = PixelOfLane(vector, bit & 7, bit >= 8);
        if (pixel >= 0) {
            return pixel;
        }
    }
    return -1;
}

// For one byte of the answer mask, its dots in place: pixels 0 to 7 in the first output byte, 8 to 15
// in the second, leftmost in the most significant bit.
constexpr std::array<uint16_t, 256> MakeDotTable(int maskByte) {
    std::array<uint16_t, 256> table{};
    for (unsigned value = 0; value < 256; ++value) {
        unsigned dots = 0;
        for (int b = 0; b < 8; ++b) {
            if ((value >> b) & 1) {
                const int pixel = PixelOfMaskBit(8 * maskByte + b);
                dots |= pixel < 8 ? 1u << (7 - pixel) : 1u << (8 + 15 - pixel);
            }
        }
        table[value] = static_cast<uint16_t>(dots);
    }
    return table;
}
constexpr std::array<uint16_t, 256> kEvenDots = MakeDotTable(0);
constexpr std::array<uint16_t, 256> kOddDots = MakeDotTable(1);

// The lane thresholds of the three vectors for every row phase and column phase of a run's first pixel.
struct LaneThresholds {
    alignas(16) int16_t lanes[8][8][3][2][8]; // [row][column phase][vector][even, odd][lane]
    LaneThresholds() {
        for (int row = 0; row < 8; ++row) {
            for (int phase = 0; phase < 8; ++phase) {
                for (int vector = 0; vector < 3; ++vector) {
                    for (int odd = 0; odd < 2; ++odd) {
                        for (int lane = 0; lane < 8; ++lane) {
                            const int pixel = PixelOfLane(vector, lane, odd != 0);
                            lanes[row][phase][vector][odd][lane] =
                                static_cast<int16_t>(pixel < 0 ? 0 : 12 * DITHER_MONO[row][(phase + pixel) & 7]);
                        }
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

// Writes two bytes per sixteen pixels from the row's start for as many whole runs as `runs`; the
// thresholds start at row phase `row` and column phase `phase`.
void SixteenAtATime(const BYTE* pixels, unsigned long runs, ULONG row, unsigned phase, BYTE*& out) {
    const __m128i* t = reinterpret_cast<const __m128i*>(Thresholds().lanes[row & 7][phase & 7][0][0]);
    const __m128i even0 = _mm_load_si128(t + 0), odd0 = _mm_load_si128(t + 1);
    const __m128i even1 = _mm_load_si128(t + 2), odd1 = _mm_load_si128(t + 3);
    const __m128i even2 = _mm_load_si128(t + 4), odd2 = _mm_load_si128(t + 5);
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    // The even and odd sums of one vector compared with their thresholds, OR-ed into the answers.
    auto compare = [&](const BYTE* p, __m128i evenThreshold, __m128i oddThreshold, __m128i& even, __m128i& odd) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i on = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2));
        const __m128i middle = _mm_add_epi16(_mm_srli_epi16(here, 8), _mm_and_si128(on, lowBytes));
        even = _mm_or_si128(even, _mm_cmplt_epi16(_mm_add_epi16(_mm_and_si128(here, lowBytes), middle), evenThreshold));
        odd = _mm_or_si128(odd, _mm_cmplt_epi16(_mm_add_epi16(middle, _mm_srli_epi16(on, 8)), oddThreshold));
    };
    for (unsigned long run = 0; run < runs; ++run, pixels += 48, out += 2) {
        __m128i even = _mm_setzero_si128();
        __m128i odd = _mm_setzero_si128();
        compare(pixels, even0, odd0, even, odd);
        compare(pixels + 16, even1, odd1, even, odd);
        compare(pixels + 32, even2, odd2, even, odd);
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(even, odd)));
        const uint16_t dots = static_cast<uint16_t>(kEvenDots[mask & 0xFF] | kOddDots[mask >> 8]);
        std::memcpy(out, &dots, 2); // x86 is little-endian: the first byte is the lowest
    }
}
#endif

ULONG Convert(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output, [[maybe_unused]] bool vector) {
    if (pixels == nullptr || output == nullptr || rows == 0 || width == 0 || stride < size_t{width} * 3) {
        return 0;
    }
    DotCollector partial;
    BYTE* out = output;
    for (ULONG r = 0; r < rows; ++r) {
        const RowThresholds thresholds(r);
        const BYTE* row = pixels + r * stride;
        ULONG x = 0;
        // A byte begun at the end of the previous row (only when the width is not a multiple of 8).
        for (; !partial.Aligned() && x < width; ++x) {
            if (partial.Push(Dot(row + 3 * x, thresholds.sum[x & 7]))) {
                *out++ = partial.Byte();
            }
        }
#if RASTER_SSE2
        if (vector) {
            const unsigned long runs = VectorRuns(width - x, r + 1 == rows);
            SixteenAtATime(row + 3 * x, runs, r, x & 7, out);
            x += static_cast<ULONG>(16 * runs);
        }
#endif
        for (; x + 8 <= width; x += 8) {
            *out++ = EightDots(row + 3 * x, thresholds.sum + (x & 7));
        }
        for (; x < width; ++x) {
            if (partial.Push(Dot(row + 3 * x, thresholds.sum[x & 7]))) {
                *out++ = partial.Byte();
            }
        }
    }
    return static_cast<ULONG>(out - output);
}

} // namespace

ULONG ConvertMono(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output) {
    return Convert(pixels, rows, stride, width, output, true);
}

ULONG ConvertMonoPlain(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output) {
    return Convert(pixels, rows, stride, width, output, false);
}
