// Common controls: up-down controls and the messages of the controls the property pages use.
// The host declares here what the libraries call of it; the names and values are the platform's.
#pragma once

#include <windows.h>
