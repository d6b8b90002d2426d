// A library source inside the fence: the platform's own API only. The host boundary check's tests
// read this file; it is never compiled.
#include "platform.h"
#include <winspool.h>

// Prose about a HostObject-like name, or the host's own words, is not a call.
BOOL PrintOnePage(HANDLE printer) { return StartPagePrinter(printer) && EndPagePrinter(printer); }
