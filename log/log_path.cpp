#include "log_path.h"

#include <cstring>

namespace velt::log {

namespace {

bool CopyFolder(const WCHAR* folder, size_t folderLength, size_t nameLength, LogPath& path) {
    if (folderLength == 0 || folderLength + nameLength + 1 > MAX_PATH) {
        return false;
    }
    for (size_t i = 0; i < folderLength; ++i) {
        path.text[i] = folder[i];
    }
    path.text[folderLength + nameLength] = 0;
    return true;
}

} // namespace

bool JoinPath(const WCHAR* folder, size_t folderLength, const char* name, LogPath& path) {
    const size_t nameLength = std::strlen(name);
    if (!CopyFolder(folder, folderLength, nameLength, path)) {
        return false;
    }
    for (size_t i = 0; i < nameLength; ++i) {
        path.text[folderLength + i] = static_cast<WCHAR>(static_cast<unsigned char>(name[i]));
    }
    return true;
}

bool JoinPath(const WCHAR* folder, size_t folderLength, const WCHAR* name, size_t nameLength, LogPath& path) {
    if (nameLength >= MAX_PATH || !CopyFolder(folder, folderLength, nameLength + 1, path)) {
        return false;
    }
    path.text[folderLength] = TEXT('\\');
    for (size_t i = 0; i < nameLength; ++i) {
        path.text[folderLength + 1 + i] = name[i];
    }
    return true;
}

} // namespace velt::log
