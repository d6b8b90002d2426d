// The configuration interface of a printer driver: device capabilities, property-sheet and event entry points.
// The host declares here what the libraries call of it; the names and values are the platform's.
#pragma once

#include <compstui.h>
