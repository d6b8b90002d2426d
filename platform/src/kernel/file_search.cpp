// Directory search. The listing is taken at FindFirstFileW, sorted in ascending order of the
// case-folded names (the order of NTFS volumes), and handed out one entry per call.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <vector>

#include <winbase.h>
#include "host/path_map.h"
#include "kernel/internal.h"

namespace {

class SearchObject : public host::HostObject {
public:
    explicit SearchObject(std::vector<WIN32_FIND_DATAW> found)
        : HostObject(host::HandleKind::Search), found_(std::move(found)) {}

    bool Next(WIN32_FIND_DATAW* out) {
        std::lock_guard guard(lock_);
        if (next_ >= found_.size()) return false;
        *out = found_[next_++];
        return true;
    }

private:
    std::mutex lock_;
    std::vector<WIN32_FIND_DATAW> found_;
    size_t next_ = 0;
};

struct Entry {
    std::u16string folded;
    WIN32_FIND_DATAW data;
};

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

} // namespace

extern "C" {

static HANDLE FindFirstFileWBody(LPCWSTR pattern, LPWIN32_FIND_DATAW found) {
    const std::u16string_view full = host::View(pattern);
    if (full.empty() || !found) {
        SetLastError(full.empty() ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    size_t cut = full.size();
    while (cut > 0 && !IsSeparator(full[cut - 1])) --cut;
    const std::u16string folderPart(cut ? full.substr(0, cut) : std::u16string_view(u"."));
    const std::u16string_view namePattern = full.substr(cut);
    const std::string folder = HostLinuxPath(folderPart.c_str());

    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : host::ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    std::vector<Entry> entries;
    while (dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        const std::u16string wide = host::FromUtf8(name);
        if (wide.size() >= MAX_PATH || !host::MatchesPattern(wide, namePattern)) continue;
        struct stat st;
        if (::stat((folder + "/" + name).c_str(), &st) != 0) continue; // vanished or a dangling link
        Entry e{host::FoldCase(wide), WIN32_FIND_DATAW{}};
        e.data.dwFileAttributes = host::AttributesOf(st);
        e.data.ftCreationTime = host::FileTimeOf(st.st_ctim);
        e.data.ftLastAccessTime = host::FileTimeOf(st.st_atim);
        e.data.ftLastWriteTime = host::FileTimeOf(st.st_mtim);
        const auto size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
        e.data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        e.data.nFileSizeLow = static_cast<DWORD>(size);
        std::copy(wide.begin(), wide.end(), e.data.cFileName);
        entries.push_back(std::move(e));
    }
    ::closedir(dir);
    if (entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.folded != b.folded) return a.folded < b.folded;
        return std::u16string_view(a.data.cFileName) < std::u16string_view(b.data.cFileName);
    });
    std::vector<WIN32_FIND_DATAW> list;
    list.reserve(entries.size());
    for (auto& e : entries) list.push_back(e.data);
    auto search = std::make_shared<SearchObject>(std::move(list));
    search->Next(found);
    return host::AddHandle(std::move(search));
}

BOOL FindNextFileW(HANDLE search, LPWIN32_FIND_DATAW found) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto object = host::FindHandleOf<SearchObject>(search, host::HandleKind::Search);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (!found) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (!object->Next(found)) {
            SetLastError(ERROR_NO_MORE_FILES);
            return FALSE;
        }
        return TRUE;
    });
}

BOOL FindClose(HANDLE search) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!host::RemoveHandle(search, host::HandleKind::Search)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        return TRUE;
    });
}

HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW found) {
    return host::Guarded<HANDLE>(INVALID_HANDLE_VALUE, [&] { return FindFirstFileWBody(pattern, found); });
}

} // extern "C"
