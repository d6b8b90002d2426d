// The rendering driver's merge, reached through a function of its own so that one program can time
// both library variants side by side.
#pragma once

#include "DriverDevmode.h"

BOOL MergeAsRenderingDriver(DRIVER_DEVMODE* working, const DEVMODEW* incoming);
