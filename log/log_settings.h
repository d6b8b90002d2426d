// Reading a printer's log settings ("DriverLogFile") and what they mean.
#pragma once

#include <cstddef>

#include "VELTlog.h"

namespace velt::log {

// The value is read into a buffer of this size; only its first sizeof(DRIVER_LOG_SETTINGS) bytes are used.
inline constexpr DWORD kSettingsReadBufferSize = 1056;

// Size at which a current file is full and gets rotated.
inline constexpr DWORD kFullFileSize = 1048576;

// Reads "DriverLogFile" through the printer handle. A value shorter than the record leaves the rest zero;
// a value larger than the read buffer, or none at all, fails.
bool ReadLogSettings(HANDLE printer, DRIVER_LOG_SETTINGS& settings);

// The family size limit in bytes for dlMaxSizeIndex, or 0 when the index switches logging off.
DWORD FamilyLimitBytes(BYTE maxSizeIndex);

// Characters of dlFolder before its terminating zero; all 260 when the record holds no terminator.
size_t FolderLength(const DRIVER_LOG_SETTINGS& settings);

} // namespace velt::log
