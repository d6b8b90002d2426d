// The printer's command set as the rendering driver sends it. Every command is one WritePrinter call on
// the printer handle, except the raster block, which is two (the five header bytes, then the data).
// A command succeeds when WritePrinter reports success; the count written is not compared.
#pragma once

#include <cstddef>

#include "platform.h"

// Command bytes (1B escape, 1D group separator, 1F unit separator).
#define CMD_INITIALISE 0x1B, 0x40
#define CMD_SIDE_MODE 0x1F, 0x60   // + n: 0 single side, 2 dual side
#define CMD_SELECT_SIDE 0x1F, 0x61 // + n: 0 or 1
#define CMD_END_SHEET 0x1F, 0x62
#define CMD_PAGE_MODE 0x1B, 0x4C
#define CMD_PRINT_AREA 0x1B, 0x57 // + x, y, width, height: four 16-bit little-endian values
#define CMD_STANDARD_MODE 0x1B, 0x53
#define CMD_FORM_FEED 0x0C
#define CMD_LINE_SPACING 0x1B, 0x33 // + n dots
#define CMD_LINE_FEED 0x0A
#define CMD_CUT 0x1D, 0x56          // + m
#define CMD_RASTER_BLOCK 0x1B, 0x2C // + t, nL, nH, then the rows

#define SIDE_MODE_SINGLE 0
#define SIDE_MODE_DUAL 2
#define CUT_MODE_FULL 0x30 // the only cut the driver sends
#define RASTER_MONO 0
#define RASTER_TWO_COLOUR 2

// Every printed row is 640 dots: 80 bytes a plane.
#define LINE_BYTES_MONO 80
#define LINE_BYTES_TWO_COLOUR 160
// Width of the print area: the 576 dots of an 80 mm roll.
#define PRINT_AREA_WIDTH 576
// Rows of one page-mode area.
#define PAGE_MODE_AREA_ROWS 2000

BOOL SendInitialise(HANDLE printer);
BOOL SendSideMode(HANDLE printer, BYTE n);   // n other than 0 or 2 is refused, nothing written
BOOL SendSelectSide(HANDLE printer, BYTE n); // n other than 0 or 1 goes out as 0
BOOL SendEndSheet(HANDLE printer);
BOOL SendPageMode(HANDLE printer);
BOOL SendPrintArea(HANDLE printer, ULONG height); // origin (0, 0), width 576; height beyond 16 bits is refused
BOOL SendStandardMode(HANDLE printer);
BOOL SendFormFeed(HANDLE printer);
BOOL SendCut(HANDLE printer, BYTE m); // m other than 30, 31, 00, 01 is refused, nothing written

// Advances the paper n dots: line spacing 255 and a line feed for every whole 255, then line spacing
// of the rest and a line feed when a rest remains. 0 sends nothing. Stops at the first failed write.
BOOL FeedDots(HANDLE printer, ULONG n);

// One raster block of `rows` rows of type t (0 mono, 2 two-colour). The row count goes out as
// nL = rows mod 255, nH = rows div 255, and the printer reads N = nL + 256 nH rows; a block whose data
// is shorter than N rows (80 bytes a row for t 0 and 1, 160 for t 2), or of a type above 2, is refused
// without writing. Otherwise the header is written, every pair of data bytes is exchanged in place
// (an odd last byte stays), and the data goes out in one write.
BOOL SendRasterBlock(HANDLE printer, BYTE type, ULONG rows, BYTE* data, size_t length);
