// The clockwise turn of a landscape page: new pixel (x', y') is old pixel (y', height - 1 - x').
// Two-by-two blocks of pixels move as whole words: one 8-byte read takes two neighbouring pixels of a
// source row (for two new rows), and one 8-byte write puts two pixels into a new row; its two surplus
// bytes belong to the next pixel of that row, which is written later. The one or two last rows and
// columns, which have no third beyond them for the surplus, go a pixel at a time.
#include <bit>
#include <cstdint>
#include <cstring>

#include "RasterConversion.h"

namespace {

constexpr ULONG kBandRows = 16; // new rows in a band of the turn a pixel at a time
// The blocks go in tiles of so many new columns (source rows) and new rows, so that the source rows and
// the result's rows of a tile stay in the cache: long runs along the source rows, which the processor
// reads ahead, and few columns of the result at a time.
constexpr ULONG kTileColumns = 16;
constexpr ULONG kTileRows = 256;

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

uint64_t Load8(const BYTE* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

void Store8(BYTE* p, uint64_t word) {
    std::memcpy(p, &word, 8);
}

// New rows [firstRow, endRow) and new columns [firstColumn, endColumn), both in pairs, with a third source
// column beyond every pair of rows (for the 8-byte reads) and a third new column beyond every pair of
// columns (for the 8-byte writes, whose surplus bytes that column's pixels overwrite later).
void TurnBlocks(const BYTE* image, ULONG height, size_t stride, BYTE* upright, ULONG firstRow, ULONG endRow,
                ULONG firstColumn, ULONG endColumn) {
    constexpr uint64_t kPixel = 0xFFFFFF;
    const size_t uprightStride = PixelStride(height);
    for (ULONG x2 = firstColumn; x2 < endColumn; x2 += 2) {
        const BYTE* lower = image + (height - 1 - x2) * stride + size_t{firstRow} * 3; // becomes column x2
        const BYTE* upper = lower - stride;                                             // column x2 + 1
        BYTE* to = upright + firstRow * uprightStride + size_t{x2} * 3;
        for (ULONG y2 = firstRow; y2 < endRow; y2 += 2, lower += 6, upper += 6, to += 2 * uprightStride) {
            const uint64_t a = Load8(lower);
            const uint64_t b = Load8(upper);
            Store8(to, (a & kPixel) | (b & kPixel) << 24);
            Store8(to + uprightStride, (a >> 24 & kPixel) | (b >> 24 & kPixel) << 24);
        }
    }
}

// How many of `count` rows or columns go in pairs that have a third beyond them.
ULONG Paired(ULONG count) {
    return count >= 3 ? (count - 1) / 2 * 2 : 0;
}

} // namespace

void RotateClockwiseInto(const BYTE* image, ULONG width, ULONG height, size_t stride, BYTE* upright) {
    if constexpr (std::endian::native != std::endian::little) {
        RotateClockwisePlainInto(image, width, height, stride, upright);
        return;
    }
    WhitePadding(width, height, upright);
    const ULONG pairedRows = Paired(width);
    const ULONG pairedColumns = Paired(height);
    for (ULONG x0 = 0; x0 < pairedColumns; x0 += kTileColumns) {
        const ULONG x1 = pairedColumns - x0 < kTileColumns ? pairedColumns : x0 + kTileColumns;
        for (ULONG y0 = 0; y0 < pairedRows; y0 += kTileRows) {
            const ULONG y1 = pairedRows - y0 < kTileRows ? pairedRows : y0 + kTileRows;
            TurnBlocks(image, height, stride, upright, y0, y1, x0, x1);
        }
    }
    // Last the one or two columns and rows beyond the pairs (the columns overwrite the last surplus bytes).
    TurnPixels(image, height, stride, upright, 0, pairedRows, pairedColumns, height);
    TurnPixels(image, height, stride, upright, pairedRows, width, 0, height);
}

void RotateClockwisePlainInto(const BYTE* image, ULONG width, ULONG height, size_t stride, BYTE* upright) {
    WhitePadding(width, height, upright);
    for (ULONG firstRow = 0; firstRow < width; firstRow += kBandRows) {
        const ULONG endRow = width - firstRow < kBandRows ? width : firstRow + kBandRows;
        TurnPixels(image, height, stride, upright, firstRow, endRow, 0, height);
    }
}
