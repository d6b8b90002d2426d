// The two records through which the device instance describes the printer to the engine.
#pragma once

#include "page_geometry.h"
#include "platform.h"

// Sets the GDIINFO fields the driver answers for (resolution, sizes, offsets, colour information);
// every other field keeps what the engine passed.
void FillGdiInfo(const PAGE_GEOMETRY& geometry, GDIINFO* info);

// A complete DEVINFO: all zero but the default font, the dither format and the palette.
DEVINFO MakeDevInfo(HPALETTE palette);
