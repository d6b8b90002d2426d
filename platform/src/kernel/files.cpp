// Opening files and reading, writing and positioning through file handles.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <winbase.h>
#include "host/path_map.h"
#include "kernel/internal.h"

namespace {

using host::FileObject;

std::shared_ptr<FileObject> FindFile(HANDLE file) {
    auto object = host::FindHandleOf<FileObject>(file, host::HandleKind::File);
    if (!object) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

int OpenFlags(DWORD access) {
    const bool reads = access & host::kReadData;
    const bool writes = access & host::kWriteData;
    const bool appends = (access & host::kAppendData) && !writes;
    int flags = O_CLOEXEC;
    if ((writes || appends) && reads)
        flags |= O_RDWR;
    else if (writes || appends)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if (appends) flags |= O_APPEND; // a handle with only FILE_APPEND_DATA writes at the end
    return flags;
}

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

} // namespace

extern "C" {

static HANDLE CreateFileWBody(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD,
                              HANDLE) {
    if (!path || !*path) return Fail(ERROR_PATH_NOT_FOUND);
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) return Fail(ERROR_INVALID_PARAMETER);
    const DWORD specific = host::SpecificAccess(access);
    if (disposition == TRUNCATE_EXISTING && !(specific & host::kWriteData)) return Fail(ERROR_INVALID_PARAMETER);
    const std::string linux = HostLinuxPath(path);

    std::lock_guard guard(host::ShareLock());
    struct stat st;
    const bool exists = ::stat(linux.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (!exists && (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING))
        return Fail(host::MissingPathError(linux));
    if (exists && disposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS);
    // Truncating an existing file writes to it, so it needs write sharing from the other handles.
    const bool truncates = exists && (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING);
    if (exists &&
        host::ShareConflicts(host::FileId{st.st_dev, st.st_ino}, specific | (truncates ? host::kWriteData : 0), share))
        return Fail(ERROR_SHARING_VIOLATION);

    int flags = OpenFlags(specific);
    if (disposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
    if (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) flags |= O_CREAT;
    if (truncates) {
        // O_TRUNC needs a writable descriptor; CREATE_ALWAYS may come with read access only.
        if ((flags & O_ACCMODE) == O_RDONLY) flags = (flags & ~O_ACCMODE) | O_RDWR;
        flags |= O_TRUNC;
    }
    host::UniqueFd fd(::open(linux.c_str(), flags, 0666));
    if (!fd.Valid()) {
        const int error = errno;
        return Fail(error == ENOENT ? host::MissingPathError(linux) : host::ErrorFromErrno(error));
    }
    const auto id = host::FileIdOfDescriptor(fd.Get());
    if (!id) return Fail(ERROR_GEN_FAILURE);
    HANDLE handle = host::AddHandle(std::make_shared<FileObject>(std::move(fd), *id, specific, share));
    const bool reportsExisting = exists && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
    SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL WriteFile(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD written, LPOVERLAPPED) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (written) *written = 0;
        auto object = FindFile(file);
        if (!object) return FALSE;
        if (!object->CanWrite()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (bytes && !data) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (host::FileWriteFault().Hit()) {
            SetLastError(ERROR_WRITE_FAULT);
            return FALSE;
        }
        // Handles opened for FILE_APPEND_DATA only write at the end (O_APPEND): see OpenFlags.
        const auto* p = static_cast<const char*>(data);
        DWORD done = 0;
        while (done < bytes) {
            const ssize_t n = ::write(object->Fd(), p + done, bytes - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                if (written) *written = done;
                SetLastError(host::ErrorFromErrno(errno));
                return FALSE;
            }
            done += static_cast<DWORD>(n);
        }
        if (written) *written = done;
        return TRUE;
    });
}

BOOL ReadFile(HANDLE file, LPVOID data, DWORD bytes, LPDWORD read, LPOVERLAPPED) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (read) *read = 0;
        auto object = FindFile(file);
        if (!object) return FALSE;
        if (!object->CanRead()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (bytes && !data) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        auto* p = static_cast<char*>(data);
        DWORD done = 0;
        while (done < bytes) {
            const ssize_t n = ::read(object->Fd(), p + done, bytes - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                if (read) *read = done;
                SetLastError(host::ErrorFromErrno(errno));
                return FALSE;
            }
            if (n == 0) break; // end of file: success with fewer bytes
            done += static_cast<DWORD>(n);
        }
        if (read) *read = done;
        return TRUE;
    });
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method) {
    return host::Guarded<DWORD>(INVALID_SET_FILE_POINTER, [&]() -> DWORD {
        auto object = FindFile(file);
        if (!object) return INVALID_SET_FILE_POINTER;
        int whence;
        switch (method) {
        case FILE_BEGIN: whence = SEEK_SET; break;
        case FILE_CURRENT: whence = SEEK_CUR; break;
        case FILE_END: whence = SEEK_END; break;
        default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_SET_FILE_POINTER;
        }
        // Without a high part the distance is a signed 32-bit value; with one, the two form a signed 64-bit value.
        const int64_t move =
            distanceHigh ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                                static_cast<uint32_t>(distance))
                         : static_cast<int64_t>(distance);
        const off_t base = whence == SEEK_SET ? 0 : ::lseek(object->Fd(), 0, whence);
        if (base < 0 || (move < 0 && base + move < 0)) {
            SetLastError(base < 0 ? host::ErrorFromErrno(errno) : ERROR_NEGATIVE_SEEK);
            return INVALID_SET_FILE_POINTER;
        }
        const off_t position = ::lseek(object->Fd(), static_cast<off_t>(base + move), SEEK_SET);
        if (position < 0) {
            SetLastError(host::ErrorFromErrno(errno));
            return INVALID_SET_FILE_POINTER;
        }
        if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
        const DWORD low = static_cast<DWORD>(position);
        if (low == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);
        return low;
    });
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
    return host::Guarded<DWORD>(INVALID_FILE_SIZE, [&]() -> DWORD {
        auto object = FindFile(file);
        if (!object) return INVALID_FILE_SIZE;
        struct stat st;
        if (::fstat(object->Fd(), &st) != 0) {
            SetLastError(host::ErrorFromErrno(errno));
            return INVALID_FILE_SIZE;
        }
        const auto size = static_cast<uint64_t>(st.st_size);
        if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
        const DWORD low = static_cast<DWORD>(size);
        if (low == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
        return low;
    });
}

BOOL FlushFileBuffers(HANDLE file) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto object = FindFile(file);
        if (!object) return FALSE;
        if (!object->CanWrite()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (::fsync(object->Fd()) != 0 && errno != EINVAL) { // device nodes and pipes can't sync
            SetLastError(host::ErrorFromErrno(errno));
            return FALSE;
        }
        return TRUE;
    });
}

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE templateFile) {
    return host::Guarded<HANDLE>(INVALID_HANDLE_VALUE, [&] {
        return CreateFileWBody(path, access, share, security, disposition, flags, templateFile);
    });
}

} // extern "C"
