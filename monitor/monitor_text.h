// The resource library VELTrc as the monitor uses it: loaded on demand by full path with a use count,
// and its texts loaded into the monitor's one text buffer.
#pragma once

#include "platform.h"

namespace lmon {

// Loads the library if no handle is held (a library that does not load is not counted), then counts
// one use.
void AcquireMonitorResources();
// Takes one use off; the last one frees the library.
void ReleaseMonitorResources();

// Loads string `id` into the monitor's text buffer (500 wide characters, longer texts cut) and returns
// the buffer; an empty text when the string or the library is missing. The caller holds the monitor
// lock while it uses the buffer.
LPCWSTR LoadMonitorText(UINT id);

// Appends text `id` to `out` (room for `chars` wide characters with the terminator), under the lock.
void AppendMonitorText(UINT id, WCHAR* out, int chars);

// The library's use count and whether a handle is held (tests).
SHORT MonitorResourceUses();
BOOL MonitorResourcesLoaded();

} // namespace lmon
