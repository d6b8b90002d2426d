// The two row takers of the page output: each takes one printer line (80 bytes mono, 160 two-colour
// with the planes still interleaved) and gathers rows into raster blocks of at most `dotCount`
// (VerticalDotCount) rows. `row` counts from 1; the page's last row is PageRows.
#pragma once

#include "device_instance.h"

// Standard mode: rows go out as they come; a run of blank rows becomes one paper feed between the
// rows around it, and blank rows at the end of the page are dropped.
BOOL PutRowStandard(PDEV& pdev, BYTE type, const BYTE* line, ULONG lineBytes, ULONG dotCount, ULONG row);

// Page mode: the rows of a page-mode area (2000 rows, or the rest of the page) are held and sent at
// its end in blocks of dotCount rows, without the blank rows at the end of the area.
BOOL PutRowPageMode(PDEV& pdev, BYTE type, const BYTE* line, ULONG lineBytes, ULONG dotCount, ULONG row);
