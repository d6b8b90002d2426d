// The clockwise turn of a landscape page: new pixel (x', y') is old pixel (y', height - 1 - x').
// With SSE2, blocks of four new rows by two new columns move in whole words: two 8-byte reads take two
// pixels each of a source row (two pairs of neighbouring new rows), two source rows side by side (two
// new columns); each 8-byte write puts two pixels into a new row, and its two surplus bytes belong to
// the next pixel of that row, which is written later. The blocks go in tiles whose source and result
// both fit the first-level cache, and each tile asks the processor ahead of time for the lines of the
// next one (which it cannot foresee: the source is read across its rows). The one to four last rows and
// the one or two last columns, which have no pixels beyond them for the surplus, go a pixel at a time.
#include <cstdint>
#include <cstring>

#include "dot_packing.h"
#include "raster_conversion.h"

namespace {

constexpr ULONG kBandRows = 16; // new rows in a band of the turn a pixel at a time

void WhitePadding(ULONG width, ULONG height, BYTE* upright) {
    const size_t uprightStride = PixelStride(height);
    const size_t rowBytes = size_t{height} * 3;
    for (ULONG y2 = 0; y2 < width; ++y2) {
        std::memset(upright + y2 * uprightStride + rowBytes, 0xFF, uprightStride - rowBytes);
    }
}

// New rows [firstRow, endRow), new columns [firstColumn, endColumn), a pixel at a time.
void TurnPixels(const BYTE* image, ULONG height, size_t stride, BYTE* upright, ULONG firstRow, ULONG endRow,
                ULONG firstColumn, ULONG endColumn) {
    const size_t uprightStride = PixelStride(height);
    for (ULONG x2 = firstColumn; x2 < endColumn; ++x2) {
        const BYTE* from = image + (height - 1 - x2) * stride + size_t{firstRow} * 3;
        BYTE* to = upright + firstRow * uprightStride + size_t{x2} * 3;
        for (ULONG y2 = firstRow; y2 < endRow; ++y2, from += 3, to += uprightStride) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}

#if RASTER_SSE2
constexpr ULONG kTile = 64; // new columns and new rows of a tile: 12 KB of source and 12 KB of result

// Rows or columns [first, end) of a pass over `count`, in tiles.
struct Span {
    ULONG first;
    ULONG end;
};

Span TileOf(ULONG first, ULONG paired) { return {first, paired - first < kTile ? paired : first + kTile}; }

// Asks for the lines of the tile of new columns `columns` and new rows `rows`: the two source rows and the
// two new rows of that tile whose turn is `pair` (0, 1, ...), so that a tile's 32 pairs of columns bring
// in all of the next tile.
void PrefetchPair(const BYTE* image, ULONG width, ULONG height, size_t stride, const BYTE* upright, Span columns,
                  Span rows, ULONG pair) {
    const size_t uprightStride = PixelStride(height);
    const ULONG x2 = columns.first + 2 * pair;
    if (x2 + 1 < columns.end) {
        const BYTE* lower = image + (height - 1 - x2) * stride + size_t{rows.first} * 3;
        for (size_t offset = 0; offset < size_t{rows.end - rows.first} * 3; offset += 64) {
            _mm_prefetch(reinterpret_cast<const char*>(lower + offset), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(lower - stride + offset), _MM_HINT_T0);
        }
    }
    const size_t columnBytes = size_t{columns.end - columns.first} * 3;
    for (ULONG y2 = rows.first + 2 * pair; y2 < rows.end; y2 += kTile) {
        const BYTE* to = upright + y2 * uprightStride + size_t{columns.first} * 3;
        for (size_t offset = 0; offset < columnBytes; offset += 64) {
            _mm_prefetch(reinterpret_cast<const char*>(to + offset), _MM_HINT_T0);
            if (y2 + 1 < width) {
                _mm_prefetch(reinterpret_cast<const char*>(to + uprightStride + offset), _MM_HINT_T0);
            }
        }
    }
}

// Two 8-byte reads, six bytes apart, into the low and the high half (the intrinsics of unaligned 8-byte
// reads and writes, not those typed as double).
__m128i LoadTwoPairs(const BYTE* p) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 6)));
}

void StoreHalves(BYTE* low, BYTE* high, __m128i halves) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(low), halves);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(high), _mm_unpackhi_epi64(halves, halves));
}

// The blocks of one tile; the next tile's lines are asked for on the way.
void TurnTile(const BYTE* image, ULONG width, ULONG height, size_t stride, BYTE* upright, Span columns, Span rows,
              const Span* nextColumns, const Span* nextRows) {
    const size_t uprightStride = PixelStride(height);
    const __m128i pixel = _mm_set1_epi64x(0xFFFFFF);
    for (ULONG x2 = columns.first, pair = 0; x2 < columns.end; x2 += 2, ++pair) {
        if (nextColumns != nullptr) {
            PrefetchPair(image, width, height, stride, upright, *nextColumns, *nextRows, pair);
        }
        const BYTE* lower = image + (height - 1 - x2) * stride + size_t{rows.first} * 3; // becomes column x2
        const BYTE* upper = lower - stride;                                              // column x2 + 1
        BYTE* to = upright + rows.first * uprightStride + size_t{x2} * 3;
        for (ULONG y2 = rows.first; y2 < rows.end; y2 += 4, lower += 12, upper += 12, to += 4 * uprightStride) {
            // In each 64-bit half, two neighbouring pixels: new rows y2 and y2 + 1 (low half), y2 + 2 and
            // y2 + 3 (high half).
            const __m128i a = LoadTwoPairs(lower);
            const __m128i b = LoadTwoPairs(upper);
            const __m128i even = _mm_or_si128(_mm_and_si128(a, pixel), _mm_slli_epi64(_mm_and_si128(b, pixel), 24));
            const __m128i odd = _mm_or_si128(_mm_and_si128(_mm_srli_epi64(a, 24), pixel),
                                             _mm_slli_epi64(_mm_and_si128(_mm_srli_epi64(b, 24), pixel), 24));
            StoreHalves(to, to + 2 * uprightStride, even);
            StoreHalves(to + uprightStride, to + 3 * uprightStride, odd);
        }
    }
}
#endif

} // namespace

void RotateClockwiseInto(const BYTE* image, ULONG width, ULONG height, size_t stride, BYTE* upright) {
#if RASTER_SSE2
    WhitePadding(width, height, upright);
    // New rows in fours with a fifth beyond them (for the second 8-byte read), new columns in pairs with
    // a third beyond them (for the surplus of the writes).
    const ULONG pairedRows = width >= 5 ? (width - 1) / 4 * 4 : 0;
    const ULONG pairedColumns = height >= 3 ? (height - 1) / 2 * 2 : 0;
    for (ULONG x0 = 0; x0 < pairedColumns; x0 += kTile) {
        const Span columns = TileOf(x0, pairedColumns);
        for (ULONG y0 = 0; y0 < pairedRows; y0 += kTile) {
            const Span rows = TileOf(y0, pairedRows);
            // The next tile down the same columns, or the first of the next columns.
            const Span nextColumns = rows.end < pairedRows ? columns : TileOf(columns.end, pairedColumns);
            const Span nextRows = rows.end < pairedRows ? TileOf(rows.end, pairedRows) : TileOf(0, pairedRows);
            const bool last = rows.end >= pairedRows && columns.end >= pairedColumns;
            TurnTile(image, width, height, stride, upright, columns, rows, last ? nullptr : &nextColumns, &nextRows);
        }
    }
    // Last the columns and rows beyond the blocks (the columns overwrite the last surplus bytes).
    TurnPixels(image, height, stride, upright, 0, pairedRows, pairedColumns, height);
    TurnPixels(image, height, stride, upright, pairedRows, width, 0, height);
#else
    RotateClockwisePlainInto(image, width, height, stride, upright);
#endif
}

void RotateClockwisePlainInto(const BYTE* image, ULONG width, ULONG height, size_t stride, BYTE* upright) {
    WhitePadding(width, height, upright);
    for (ULONG firstRow = 0; firstRow < width; firstRow += kBandRows) {
        const ULONG endRow = width - firstRow < kBandRows ? width : firstRow + kBandRows;
        TurnPixels(image, height, stride, upright, firstRow, endRow, 0, height);
    }
}
