// Why a page did not print, in words a user can act on: the rendering driver only answers FALSE, so
// velt looks at what the driver depends on that a user can change.
#pragma once

#include <string>

namespace velt {

// "VerticalDotCount is 0; it must be 1 to 254 (HKLM\SOFTWARE\Calvix)" when the machine-wide value is
// missing or out of range; empty when it is usable and the cause lies elsewhere.
std::string PageFailureCause();

} // namespace velt
