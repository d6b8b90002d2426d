// The bytes of a log file: the header that opens a file or a day, and the time stamp of a record.
#pragma once

#include <cstddef>

#include "log_module_names.h"

namespace velt::log {

// "%02d:%02d:%02d.%03d" and its terminating zero byte.
inline constexpr size_t kTimeStampSize = 13;

// Room the fullness test keeps for a time stamp.
inline constexpr DWORD kTimeStampAllowance = 24;

// The longest header: the longest module line (30 bytes) and the 35 bytes that follow every module line.
inline constexpr size_t kMaxHeaderSize = 65;

// Header: the module line with its zero byte, CR LF, "Version: V01.02" with its zero byte, CR LF,
// the 11-byte date ("05.Mar.2024", no terminator), CR LF CR LF. Returns its size.
size_t FormatHeader(const LogModuleNames& names, const SYSTEMTIME& now, char (&out)[kMaxHeaderSize]);

// Time stamp: hour, minute, second and millisecond, 12 characters and a zero byte.
void FormatTimeStamp(const SYSTEMTIME& now, char (&out)[kTimeStampSize]);

} // namespace velt::log
