#include "log_rotation.h"

#include <cstdio>

#include "log_settings.h"
#include "platform_owners.h"

namespace velt::log {

namespace {

// "\VELTPD2024_03_05_14_07_09.log": the prefix and the local time of the rotation.
bool RotatedPath(const LogFamily& family, LogPath& path) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[MAX_PATH];
    const int length =
        std::snprintf(name, sizeof name, "%s%04d_%02d_%02d_%02d_%02d_%02d.log", family.names->rotatedPrefix, now.wYear,
                      now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    return length > 0 && static_cast<size_t>(length) < sizeof name &&
           JoinPath(family.folder, family.folderLength, name, path);
}

} // namespace

bool FillToFullSize(HANDLE file) {
    DWORD high = 0;
    SetLastError(NO_ERROR);
    const DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        return false;
    }
    if (high != 0 || size >= kFullFileSize) {
        return true;
    }
    const DWORD missing = kFullFileSize - size;
    const velt::HeapBlock zeros = velt::HeapAllocate(HEAP_ZERO_MEMORY, missing);
    if (!zeros) {
        return false;
    }
    DWORD written = 0;
    return SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
           WriteFile(file, zeros.get(), missing, &written, nullptr) && written == missing;
}

bool RotateCurrentFile(const LogFamily& family) {
    if (GetFileAttributesW(family.currentPath.text) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND) {
        return true; // the family limit took the current file itself
    }
    LogPath rotated;
    if (!RotatedPath(family, rotated) || !CopyFileW(family.currentPath.text, rotated.text, FALSE)) {
        return false;
    }
    if (!DeleteFileW(family.currentPath.text)) {
        // The current file stays where it is; a second copy would only count twice against the limit.
        DeleteFileW(rotated.text);
        return false;
    }
    return true;
}

} // namespace velt::log
