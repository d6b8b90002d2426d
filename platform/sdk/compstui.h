// The common property-sheet service: the functions a driver's configuration interface calls through it.
// The host declares here what the libraries call of it; the names and values are the platform's.
#pragma once

#include <windows.h>
