// The language monitor's log lines: module 2 of the log library, written through the printer handle
// given, one line at a time (a line that collides with another being written is dropped).
#pragma once

#include "platform.h"

namespace lmon {

// 0 when the line was dropped because another is being written; 1 otherwise (whether or not logging
// is on for the printer and the log could be written).
BOOL WriteMonitorLog(const char* text, HANDLE printer);

// The printer of the most recently started job, as the port operations log through it.
HANDLE LogPrinter();

} // namespace lmon
