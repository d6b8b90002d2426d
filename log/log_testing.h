// For the library's own tests, benchmarks and fuzz targets, which link its code statically: the
// process-wide state outlives a test case, so each case starts by putting the library back as loaded.
// This symbol is hidden in the VELTlog module; callers of the module cannot reach it.
#pragma once

namespace velt::log {

// Zeroes the process-wide state and closes every file the library still holds for a caller.
void ResetLogLibraryForTests();

} // namespace velt::log
