// For the driver's own tests, which link its code statically: the glyph set the driver holds outlives a
// test case, so a case that needs the first DrvEnableDriver of a loaded driver takes it back first.
// This symbol is hidden in the VELT module; the engine cannot reach it.
#pragma once

#include "platform.h"

// Gives up the glyph set the driver holds (0 when it holds none) and hands it to the caller, who
// releases it; the next DrvEnableDriver computes a set again.
FD_GLYPHSET* TakeHeldGlyphSetForTests();
