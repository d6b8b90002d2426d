// Appending one record to an open log file.
#pragma once

#include <cstddef>

#include "log_module_names.h"

namespace velt::log {

// Writes, each at the end of the file: the header when asked for, the time stamp when asked for, the
// text's bytes, then CR LF. True only if every byte was written.
bool AppendRecord(HANDLE file, const LogModuleNames& names, const SYSTEMTIME& now, bool withHeader, bool withTimeStamp,
                  const char* text, size_t textLength);

} // namespace velt::log
