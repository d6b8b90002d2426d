// A module's family of log files in one folder: the current file and the rotated ones. Lists the family,
// adds up its size, and deletes its oldest files to bring it under the size limit.
#pragma once

#include <cstddef>

#include "log_module_names.h"
#include "log_path.h"

namespace velt::log {

struct LogFamily {
    const LogModuleNames* names = nullptr;
    WCHAR folder[MAX_PATH] = {};
    size_t folderLength = 0;
    LogPath currentPath = {};
    LogPath patternPath = {};
};

struct FamilySizes {
    ULONGLONG total = 0; // every file of the family, the current one included
    DWORD current = 0;   // the current file; 0 when it does not exist
};

// The family of a module in the settings' folder. Fails for an unknown module, an empty folder, or a
// folder too long for the family's paths.
bool OpenFamily(const DRIVER_LOG_SETTINGS& settings, LOG_MODULE module, LogFamily& family);

// Sizes are low 32 bits as the file system reports them. Fails if any file's size can't be read.
bool MeasureFamily(const LogFamily& family, FamilySizes& sizes);
bool MeasureCurrentFile(const LogFamily& family, DWORD& size);

// Opens the current file for reading and appending, shared for reading and writing, creating it if
// missing. Null when it can't be opened (a missing folder, for one).
HANDLE OpenCurrentFile(const LogFamily& family);

// Deletes the oldest rotated file; the current file only when it is the family's only file.
bool DeleteOldestFile(const LogFamily& family);

// Deletes the oldest files one by one while total (kept up to date) is at or above the limit.
bool DeleteWhileAtLimit(const LogFamily& family, DWORD limit, ULONGLONG& total);

} // namespace velt::log
