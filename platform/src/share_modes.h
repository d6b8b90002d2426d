// Share modes between the open file handles of this process: an open, delete or copy that
// conflicts with a handle already open on the same file fails with ERROR_SHARING_VIOLATION.
#pragma once

#include <sys/types.h>

#include <compare>
#include <mutex>
#include <optional>
#include <string>

#include "host/types.h"

namespace host {

struct FileId {
    dev_t device;
    ino_t inode;
    auto operator<=>(const FileId&) const = default;
};

std::optional<FileId> FileIdOfPath(const std::string& linuxPath);
std::optional<FileId> FileIdOfDescriptor(int fd);

// The access classes that share modes govern.
constexpr DWORD kReadData = 0x0001;   // FILE_READ_DATA
constexpr DWORD kWriteData = 0x0002;  // FILE_WRITE_DATA
constexpr DWORD kAppendData = 0x0004; // FILE_APPEND_DATA
constexpr DWORD kDelete = 0x00010000; // DELETE
// GENERIC_* rights reduced to the specific ones above.
DWORD SpecificAccess(DWORD access);

// The lock is held across a check and the open or delete that follows it; recursive, because a file
// object that dies while it is held (an open that fails late) takes it again to leave the table.
std::recursive_mutex& ShareLock();
// Lock held: would an open with this access and share mode conflict with the open handles?
bool ShareConflicts(const FileId& id, DWORD access, DWORD share);
void RegisterOpen(const FileId& id, const void* owner, DWORD access, DWORD share);
void UnregisterOpen(const FileId& id, const void* owner); // takes the lock itself

} // namespace host
