#include "kernel/internal.h"

#include <sys/stat.h>

#include <map>
#include <vector>

#include <winbase.h>

namespace host {

namespace {

struct OpenEntry {
    const void* owner;
    DWORD access;
    DWORD share;
};

std::map<FileId, std::vector<OpenEntry>>& Opens() {
    static auto* opens = new std::map<FileId, std::vector<OpenEntry>>;
    return *opens;
}

bool Reads(DWORD access) { return access & kReadData; }
bool Writes(DWORD access) { return access & (kWriteData | kAppendData); }
bool Deletes(DWORD access) { return access & kDelete; }

} // namespace

std::optional<FileId> FileIdOfPath(const std::string& linuxPath) {
    struct stat st;
    if (::stat(linuxPath.c_str(), &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

std::optional<FileId> FileIdOfDescriptor(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

DWORD SpecificAccess(DWORD access) {
    DWORD specific = access & (kReadData | kWriteData | kAppendData | kDelete);
    if (access & GENERIC_READ) specific |= kReadData;
    if (access & GENERIC_WRITE) specific |= kWriteData | kAppendData;
    if (access & GENERIC_ALL) specific |= kReadData | kWriteData | kAppendData | kDelete;
    return specific;
}

std::recursive_mutex& ShareLock() {
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

bool ShareConflicts(const FileId& id, DWORD access, DWORD share) {
    auto it = Opens().find(id);
    if (it == Opens().end()) return false;
    for (const auto& open : it->second) {
        if ((Reads(access) && !(open.share & FILE_SHARE_READ)) ||
            (Writes(access) && !(open.share & FILE_SHARE_WRITE)) ||
            (Deletes(access) && !(open.share & FILE_SHARE_DELETE)) ||
            (Reads(open.access) && !(share & FILE_SHARE_READ)) ||
            (Writes(open.access) && !(share & FILE_SHARE_WRITE)) ||
            (Deletes(open.access) && !(share & FILE_SHARE_DELETE)))
            return true;
    }
    return false;
}

void RegisterOpen(const FileId& id, const void* owner, DWORD access, DWORD share) {
    Opens()[id].push_back(OpenEntry{owner, access, share});
}

void UnregisterOpen(const FileId& id, const void* owner) {
    std::lock_guard guard(ShareLock());
    auto it = Opens().find(id);
    if (it == Opens().end()) return;
    auto& entries = it->second;
    for (auto e = entries.begin(); e != entries.end(); ++e) {
        if (e->owner == owner) {
            entries.erase(e);
            break;
        }
    }
    if (entries.empty()) Opens().erase(it);
}

} // namespace host
