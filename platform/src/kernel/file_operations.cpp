// Whole-file operations by path: copy, delete, create a folder, attributes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <winbase.h>
#include "host/path_map.h"
#include "kernel/internal.h"

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

bool CopyContent(int from, int to) {
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(to, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return false;
            done += w;
        }
    }
}

} // namespace

extern "C" {

static BOOL CopyFileWBody(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    if (!from || !*from || !to || !*to) return Fail(ERROR_PATH_NOT_FOUND);
    const std::string source = HostLinuxPath(from), target = HostLinuxPath(to);
    std::lock_guard guard(host::ShareLock());
    struct stat st;
    if (::stat(source.c_str(), &st) != 0) return Fail(host::MissingPathError(source));
    if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    // The source is read while others may go on reading and writing it; the target is written
    // and needs write sharing from every handle open on it.
    if (host::ShareConflicts(host::FileId{st.st_dev, st.st_ino}, host::kReadData,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return Fail(ERROR_SHARING_VIOLATION);
    struct stat tt;
    if (::stat(target.c_str(), &tt) == 0) {
        if (failIfExists) return Fail(ERROR_FILE_EXISTS);
        if (S_ISDIR(tt.st_mode)) return Fail(ERROR_ACCESS_DENIED);
        if (tt.st_dev == st.st_dev && tt.st_ino == st.st_ino) return Fail(ERROR_SHARING_VIOLATION);
        if (host::ShareConflicts(host::FileId{tt.st_dev, tt.st_ino}, host::kWriteData,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
            return Fail(ERROR_SHARING_VIOLATION);
    }
    host::UniqueFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.Valid()) return Fail(host::ErrorFromErrno(errno));
    host::UniqueFd out(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777));
    if (!out.Valid()) return Fail(errno == ENOENT ? host::MissingPathError(target) : host::ErrorFromErrno(errno));
    if (!CopyContent(in.Get(), out.Get())) return Fail(host::ErrorFromErrno(errno));
    return TRUE;
}

static BOOL DeleteFileWBody(LPCWSTR path) {
    if (!path || !*path) return Fail(ERROR_PATH_NOT_FOUND);
    const std::string linux = HostLinuxPath(path);
    std::lock_guard guard(host::ShareLock());
    struct stat st;
    if (::lstat(linux.c_str(), &st) != 0) return Fail(host::MissingPathError(linux));
    if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    // Deleting opens the file for DELETE: every open handle must share delete.
    if (host::ShareConflicts(host::FileId{st.st_dev, st.st_ino}, host::kDelete,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return Fail(ERROR_SHARING_VIOLATION);
    if (::unlink(linux.c_str()) != 0) return Fail(host::ErrorFromErrno(errno));
    return TRUE;
}

static BOOL CreateDirectoryWBody(LPCWSTR path, LPSECURITY_ATTRIBUTES) {
    if (!path || !*path) return Fail(ERROR_PATH_NOT_FOUND);
    const std::string linux = HostLinuxPath(path);
    if (::mkdir(linux.c_str(), 0777) != 0) {
        if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
        if (errno == ENOENT || errno == ENOTDIR) return Fail(ERROR_PATH_NOT_FOUND);
        return Fail(host::ErrorFromErrno(errno));
    }
    return TRUE;
}

static DWORD GetFileAttributesWBody(LPCWSTR path) {
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    const std::string linux = HostLinuxPath(path);
    struct stat st;
    if (::stat(linux.c_str(), &st) != 0) {
        SetLastError(host::MissingPathError(linux));
        return INVALID_FILE_ATTRIBUTES;
    }
    return host::AttributesOf(st);
}

BOOL CopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    return host::Guarded<BOOL>(FALSE, [&] { return CopyFileWBody(from, to, failIfExists); });
}

BOOL DeleteFileW(LPCWSTR path) {
    return host::Guarded<BOOL>(FALSE, [&] { return DeleteFileWBody(path); });
}

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security) {
    return host::Guarded<BOOL>(FALSE, [&] { return CreateDirectoryWBody(path, security); });
}

DWORD GetFileAttributesW(LPCWSTR path) {
    return host::Guarded<DWORD>(INVALID_FILE_ATTRIBUTES, [&] { return GetFileAttributesWBody(path); });
}

} // extern "C"
