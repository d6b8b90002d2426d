// The page sequence of a document: what the printer is sent as each page starts (the document's first
// bytes with its first page, the side of a dual-side sheet, the page's mode) and as the document ends
// (the end of a half-printed last sheet, the final feed and cut, and the closing initialise). Pages are
// counted per device instance (PageCount).
#pragma once

#include "device_instance.h"

// Sends what opens the next page and counts it; false at the first command that fails.
bool SendPageStart(PDEV& pdev);

// Sends what closes the document; false when a feed or the sheet end fails. The page count starts from
// 0 again either way.
bool SendDocumentEnd(PDEV& pdev);
