#include "log_family.h"

#include "log_settings.h"
#include "platform_owners.h"

namespace velt::log {

namespace {

enum class Visit { Next, Stop, Fail };

// Characters of a listed name, or MAX_PATH when the entry holds no terminator.
size_t NameLength(const WIN32_FIND_DATAW& found) {
    size_t length = 0;
    while (length < MAX_PATH && found.cFileName[length] != 0) {
        ++length;
    }
    return length;
}

const WCHAR* CurrentName(const LogFamily& family) {
    return family.currentPath.text + family.folderLength + 1; // after the folder and its backslash
}

// Calls visit(name, length) for each file of the family in the platform's directory order (ascending
// names). Every file is visited, however many there are: the size limit must see the whole family.
// Folders that happen to match the pattern are not log files and are skipped.
template <typename Visitor>
bool ForEachFamilyFile(const LogFamily& family, Visitor visit) {
    WIN32_FIND_DATAW found;
    velt::SearchHandle search(FindFirstFileW(family.patternPath.text, &found));
    if (!search) {
        const DWORD error = GetLastError();
        // No file yet, or no folder: an empty family (opening the current file reports a missing folder).
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        const size_t length = NameLength(found);
        if (length == MAX_PATH) {
            return false;
        }
        switch (visit(found.cFileName, length)) {
        case Visit::Next: break;
        case Visit::Stop: return true;
        case Visit::Fail: return false;
        }
    } while (FindNextFileW(search.get(), &found));
    return true;
}

enum class SizeRead { Read, Missing, Failed };

SizeRead ReadFileSize(const LogPath& path, DWORD& size) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    velt::FileHandle file(
        CreateFileW(path.text, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? SizeRead::Missing : SizeRead::Failed;
    }
    DWORD high = 0;
    SetLastError(NO_ERROR);
    size = GetFileSize(file.get(), &high);
    return size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR ? SizeRead::Failed : SizeRead::Read;
}

} // namespace

bool OpenFamily(const DRIVER_LOG_SETTINGS& settings, LOG_MODULE module, LogFamily& family) {
    family.names = NamesOfModule(module);
    family.folderLength = FolderLength(settings);
    if (family.names == nullptr || family.folderLength == 0) {
        return false;
    }
    for (size_t i = 0; i < family.folderLength; ++i) {
        family.folder[i] = settings.dlFolder[i];
    }
    // A family whose files could be created but never rotated would stop logging at its first rotation;
    // it fails now instead.
    LogPath rotated;
    return JoinPath(family.folder, family.folderLength, family.names->currentName, family.currentPath) &&
           JoinPath(family.folder, family.folderLength, family.names->familyPattern, family.patternPath) &&
           JoinPath(family.folder, family.folderLength, family.names->rotatedSample, rotated);
}

bool MeasureFamily(const LogFamily& family, FamilySizes& sizes) {
    sizes = FamilySizes{};
    const WCHAR* currentName = CurrentName(family);
    return ForEachFamilyFile(family, [&](const WCHAR* name, size_t length) {
        LogPath path;
        DWORD size = 0;
        if (!JoinPath(family.folder, family.folderLength, name, length, path) ||
            ReadFileSize(path, size) != SizeRead::Read) {
            return Visit::Fail;
        }
        sizes.total += size;
        if (lstrcmpiW(name, currentName) == 0) {
            sizes.current = size;
        }
        return Visit::Next;
    });
}

bool MeasureCurrentFile(const LogFamily& family, DWORD& size) {
    size = 0;
    switch (ReadFileSize(family.currentPath, size)) {
    case SizeRead::Read: return true;
    case SizeRead::Missing: size = 0; return true;
    case SizeRead::Failed: break;
    }
    return false;
}

HANDLE OpenCurrentFile(const LogFamily& family) {
    const HANDLE file =
        CreateFileW(family.currentPath.text, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool DeleteOldestFile(const LogFamily& family) {
    // Ascending names put the current file (no date in its name) first and the rotated files after it,
    // oldest first; the victim is the first rotated file, even when the current file is missing.
    const WCHAR* currentName = CurrentName(family);
    LogPath victim;
    bool found = false;
    bool currentListed = false;
    const bool listed = ForEachFamilyFile(family, [&](const WCHAR* name, size_t length) {
        if (lstrcmpiW(name, currentName) == 0) {
            currentListed = true;
            return Visit::Next;
        }
        found = JoinPath(family.folder, family.folderLength, name, length, victim);
        return found ? Visit::Stop : Visit::Fail;
    });
    if (!listed) {
        return false;
    }
    if (!found) {
        if (!currentListed) {
            return false; // nothing left to delete
        }
        victim = family.currentPath;
    }
    return DeleteFileW(victim.text) != FALSE;
}

bool DeleteWhileAtLimit(const LogFamily& family, DWORD limit, ULONGLONG& total) {
    while (total >= limit) {
        FamilySizes sizes;
        if (!DeleteOldestFile(family) || !MeasureFamily(family, sizes)) {
            return false;
        }
        total = sizes.total;
    }
    return true;
}

} // namespace velt::log
