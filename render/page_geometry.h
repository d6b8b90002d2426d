// The page geometry of one device instance: how much of the roll the drawing surface covers, in dots of
// 1/8 mm (203 dpi), worked out from the working device mode's orientation, paper sizes and duplex.
#pragma once

#include "platform.h"

struct PAGE_GEOMETRY {
    LONG rollMargin;       // s: left and right of the roll, 32 on 80 mm, 16 on 58 mm, else 0
    LONG feedMargin;       // f: left out at the bottom of the page, 40 single side, 228 dual side
    SIZEL physicalSize;    // the whole sheet in dots
    POINTL physicalOffset; // where the printable area starts on the sheet
    SIZEL printableSize;   // the drawing surface in dots; may be 0 or negative for too short a page
    SIZEL printableSizeMm; // printable size / 8, truncated toward zero
};

// Rows the printer leaves above every page (the top margin); fed at a page end together with f.
constexpr LONG TOP_MARGIN_DOTS = 140;

// f: rows left out at the bottom of a page, single side and dual side.
constexpr LONG FEED_MARGIN_SINGLE_SIDE_DOTS = 40;
constexpr LONG FEED_MARGIN_DUAL_SIDE_DOTS = 228;

// s: dots left out on either side of an 80 mm and a 58 mm roll.
constexpr LONG ROLL_MARGIN_80MM_DOTS = 32;
constexpr LONG ROLL_MARGIN_58MM_DOTS = 16;

// Widest and longest surface the driver takes on: each side fits the signed 16-bit sizes of the device
// mode and the print area, and the 24-bit pixels stay within a memory bound for one page. Every roll
// page fits it (80 mm is 640 dots: 640 x 32767 x 3 bytes is below 64 MiB); only a page far wider than
// the printer's rolls, which would print nothing anyway, can meet it first.
constexpr LONG MAX_PAGE_DOTS = 32767;
constexpr size_t MAX_SURFACE_BYTES = size_t{64} << 20;

enum ROLL_CLASS { ROLL_NONE = 0, ROLL_58MM = 58, ROLL_80MM = 80 };

// Roll width in tenths of a millimetre: the paper width in portrait, the paper length in landscape
// (the rendering driver's working device mode holds the two exchanged in landscape).
SHORT RollWidth(SHORT orientation, SHORT paperWidth, SHORT paperLength);
ROLL_CLASS RollClassOf(SHORT rollWidth);

PAGE_GEOMETRY ComputePageGeometry(SHORT orientation, SHORT paperWidth, SHORT paperLength, SHORT duplex);

// Whether a 24-bit surface of cx x cy dots is one the driver can create and copy.
bool SurfaceSizeAcceptable(LONG cx, LONG cy);
