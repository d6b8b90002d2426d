// VerticalDotCount: the most rows one raster block carries, a 32-bit value under HKEY_LOCAL_MACHINE
// "SOFTWARE\Calvix". Installed with the driver; nothing in the system writes it. Read afresh for
// every page.
#pragma once

#include "platform.h"

// True with the value in *count when the key opens and the value reads; four bytes are read whatever
// type the value is stored with (a shorter value leaves the high bytes zero).
bool ReadVerticalDotCount(DWORD* count);
