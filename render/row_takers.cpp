// Row takers: held rows, blank runs and raster blocks.
#include "row_takers.h"

#include <algorithm>
#include <cstring>

#include "printer_commands.h"

namespace {

// The line as the printer takes it: a two-colour line's interleaved bytes are parted into the first
// plane (even bytes, to bytes 0..79) and the second plane (odd bytes, to bytes 80..159).
void PrinterLine(BYTE type, const BYTE* line, ULONG lineBytes, BYTE* out) {
    if (type == RASTER_TWO_COLOUR) {
        const ULONG half = lineBytes / 2;
        for (ULONG i = 0; i < half; ++i) {
            out[i] = line[2 * i];
            out[half + i] = line[2 * i + 1];
        }
    } else {
        std::memcpy(out, line, lineBytes);
    }
}

bool Blank(const BYTE* line, ULONG lineBytes) {
    return std::all_of(line, line + lineBytes, [](BYTE b) { return b == 0; });
}

// Appends a line to the held rows; false when the buffer has no room for it.
bool Hold(PDEV& pdev, const BYTE* line, ULONG lineBytes) {
    const size_t at = size_t{pdev.cHeldRows} * lineBytes;
    if (pdev.pRowBuffer == nullptr || at + lineBytes > pdev.cbRowBuffer) {
        return false;
    }
    std::memcpy(pdev.pRowBuffer + at, line, lineBytes);
    ++pdev.cHeldRows;
    return true;
}

bool ValidLine(BYTE type, ULONG lineBytes) {
    return lineBytes == (type == RASTER_TWO_COLOUR ? LINE_BYTES_TWO_COLOUR : LINE_BYTES_MONO);
}

} // namespace

BOOL PutRowStandard(PDEV& pdev, BYTE type, const BYTE* line, ULONG lineBytes, ULONG dotCount, ULONG row) {
    if (line == nullptr || dotCount == 0 || !ValidLine(type, lineBytes)) {
        return FALSE;
    }
    const ULONG lastRow = static_cast<ULONG>(PageRows(pdev));
    BYTE copy[LINE_BYTES_TWO_COLOUR];
    PrinterLine(type, line, lineBytes, copy);

    const bool blank = Blank(copy, lineBytes);
    if (blank) {
        ++pdev.cBlankRows;
    } else if (!Hold(pdev, copy, lineBytes)) {
        return FALSE;
    }

    if (pdev.cBlankRows != 0) {
        if (blank) {
            if (row == lastRow) {
                pdev.cBlankRows = 0; // blank rows at the end of the page are dropped
            }
        } else {
            // The run is fed before a last row too: dropping it would print that row higher up the
            // page than it was drawn.
            if (!FeedDots(pdev.hPrinter, pdev.cBlankRows)) {
                return FALSE;
            }
            pdev.cBlankRows = 0;
        }
    }

    // Held rows go out when the block is full, at the first blank row of a run, and at the last row.
    if (pdev.cHeldRows != 0 && (pdev.cHeldRows % dotCount == 0 || row == lastRow || pdev.cBlankRows == 1)) {
        if (!SendRasterBlock(pdev.hPrinter, type, pdev.cHeldRows, pdev.pRowBuffer,
                             size_t{pdev.cHeldRows} * lineBytes)) {
            return FALSE;
        }
        std::memset(pdev.pRowBuffer, 0, pdev.cbRowBuffer);
        pdev.cHeldRows = 0;
    }
    return TRUE;
}

BOOL PutRowPageMode(PDEV& pdev, BYTE type, const BYTE* line, ULONG lineBytes, ULONG dotCount, ULONG row) {
    if (line == nullptr || dotCount == 0 || !ValidLine(type, lineBytes)) {
        return FALSE;
    }
    const ULONG lastRow = static_cast<ULONG>(PageRows(pdev));
    BYTE copy[LINE_BYTES_TWO_COLOUR];
    PrinterLine(type, line, lineBytes, copy);
    if (!Hold(pdev, copy, lineBytes)) {
        return FALSE;
    }
    if (Blank(copy, lineBytes)) {
        ++pdev.cBlankRows;
    } else {
        pdev.cBlankRows = 0;
    }

    if (row == lastRow || row % PAGE_MODE_AREA_ROWS == 0) {
        // The end of the page or of an area: its rows, less the blank ones at its end, in full blocks
        // and then one block of the rest.
        pdev.cHeldRows -= pdev.cBlankRows;
        BYTE* block = pdev.pRowBuffer;
        const size_t blockBytes = size_t{dotCount} * lineBytes;
        for (ULONG n = pdev.cHeldRows / dotCount; n > 0; --n, block += blockBytes) {
            if (!SendRasterBlock(pdev.hPrinter, type, dotCount, block, blockBytes)) {
                return FALSE;
            }
        }
        const ULONG rest = pdev.cHeldRows % dotCount;
        if (rest != 0 && !SendRasterBlock(pdev.hPrinter, type, rest, block, size_t{rest} * lineBytes)) {
            return FALSE;
        }
        std::memset(pdev.pRowBuffer, 0, pdev.cbRowBuffer);
        pdev.cBlankRows = 0;
        pdev.cHeldRows = 0;
    }
    return TRUE;
}
