// Property sheets: the pages a driver's configuration interface adds.
// The host declares here what the libraries call of it; the names and values are the platform's.
#pragma once

#include <windows.h>
