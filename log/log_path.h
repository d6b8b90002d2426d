// Paths of log files: the settings' folder followed by a file name, bounded by MAX_PATH characters.
#pragma once

#include <cstddef>

#include "VELTlog.h"

namespace velt::log {

// A zero-terminated platform path of at most MAX_PATH characters, the terminator included.
struct LogPath {
    WCHAR text[MAX_PATH];
};

// folder (folderLength characters, no terminator needed) followed by an 8-bit ASCII name, which starts
// with its backslash. Fails when the folder is empty or the path with its terminator exceeds MAX_PATH.
bool JoinPath(const WCHAR* folder, size_t folderLength, const char* name, LogPath& path);

// The same with a wide name (a name from a directory listing), given with its length.
bool JoinPath(const WCHAR* folder, size_t folderLength, const WCHAR* name, size_t nameLength, LogPath& path);

} // namespace velt::log
