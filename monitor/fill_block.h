// The fill block: zero bytes that complete a raster block a cancelled job left unfinished, so that
// the printer is never left waiting inside one. Its size follows the printer's colour setting and
// the rows of one raster block (VerticalDotCount): rows × 80 + 1 bytes for mono, rows × 160 + 1 for
// two-colour paper.
#pragma once

#include "platform.h"
#include "port_record.h"

namespace lmon {

#define MONO_BYTES_PER_ROW 80
#define TWO_COLOUR_BYTES_PER_ROW 160
// A raster block counts its rows in 16 bits: more rows than that is no raster block of this printer.
#define MOST_RASTER_BLOCK_ROWS 0xFFFF

// The block's size for a colour setting (0 mono, 1 two-colour) and rows per block; 0 for any other
// colour setting or a row count no raster block has.
DWORD FillBlockSize(SHORT colorSetting, DWORD verticalDotCount);

// The block's size for the printer behind `printer`: its settings record must be read with a colour
// setting of 0 or 1 and VerticalDotCount must be read. 0 otherwise.
DWORD PrinterFillBlockSize(HANDLE printer);

// VerticalDotCount under HKEY_LOCAL_MACHINE "SOFTWARE\Calvix": four bytes, whatever the stored type.
BOOL ReadVerticalDotCount(DWORD* count);

// Writes `size` zero bytes through the port monitor, in as many writes as the port takes them. When a
// write takes nothing, fillPending is set so that the block goes out before the next write.
void WriteFillBlock(PortRecord* port, DWORD size);

// Sends the block sized by the settings record of the port's newest job; nothing without a job, a
// usable record or VerticalDotCount.
void SendFillBlock(PortRecord* port);

// Writes all of `bytes` through the port monitor while each write succeeds and takes something. The
// result is that of the last write (TRUE when all went out or the port took nothing).
BOOL WriteThroughPort(PortRecord* port, const BYTE* bytes, DWORD count, DWORD* taken);

} // namespace lmon
