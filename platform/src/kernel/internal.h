// Internal to the host: the kernel's services that every component builds on. The exception guard
// of the entry points, text helpers, the one handle table, fault injection points, the host clock,
// waitable objects, and the pieces of the file functions (errors, attributes, share modes, open
// files, search patterns).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <compare>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include <winbase.h>
#include <windef.h>

namespace host {

// ---- The exception guard ------------------------------------------------------------------------
// Entry points run their bodies through these, so that no C++ exception (an allocation failure,
// a store error) ever crosses the platform's plain C interface.

// An error that carries the platform's code for it: the guard answers that code.
struct PlatformError : std::runtime_error {
    PlatformError(DWORD code, const std::string& what) : std::runtime_error(what), code(code) {}
    DWORD code;
};

// For functions that report through the last error: returns failure and sets the last error.
template <typename R, typename F>
R Guarded(R failure, F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    } catch (const PlatformError& error) {
        SetLastError(error.code);
    } catch (...) {
        SetLastError(ERROR_GEN_FAILURE);
    }
    return failure;
}

// For functions without a result: a failure shows only in the last error.
template <typename F>
void Guarded(F&& body) noexcept {
    try {
        body();
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    } catch (const PlatformError& error) {
        SetLastError(error.code);
    } catch (...) {
        SetLastError(ERROR_GEN_FAILURE);
    }
}

// For functions that return an ERROR_* code.
template <typename F>
LONG GuardedCode(F&& body) noexcept {
    try {
        return static_cast<LONG>(body());
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (const PlatformError& error) {
        return static_cast<LONG>(error.code);
    } catch (...) {
        return ERROR_GEN_FAILURE;
    }
}

// ---- Text ---------------------------------------------------------------------------------------
// UTF-8 <-> UTF-16 and the platform's case-insensitive comparison.

// A null platform string reads as empty.
inline std::u16string_view View(LPCWSTR s) { return s ? std::u16string_view(s) : std::u16string_view(); }

std::u16string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view wide);

// Upper-cases one UTF-16 unit the way the platform compares names (file names, keys, printers).
char16_t FoldChar(char16_t c);
std::u16string FoldCase(std::u16string_view s);
bool EqualNoCase(std::u16string_view a, std::u16string_view b);

// ---- Handles ------------------------------------------------------------------------------------
// One handle table for every object the host hands out: files, directory searches, printers,
// registry keys (and kernel objects). A handle of one kind given to another kind's function is
// simply not found there, so it fails cleanly. Handle values are never reused, so a stale handle
// can't reach a newer object.

enum class HandleKind { File, Search, Printer, RegistryKey, Port, Event, Thread, Mutex };

class HostObject {
public:
    explicit HostObject(HandleKind kind) : kind_(kind) {}
    virtual ~HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;
    HandleKind Kind() const { return kind_; }

private:
    HandleKind kind_;
};

HANDLE AddHandle(std::shared_ptr<HostObject> object);
std::shared_ptr<HostObject> FindHandle(HANDLE handle);
// Takes the handle out of the table if it is of the given kind; the object dies with the last user.
std::shared_ptr<HostObject> RemoveHandle(HANDLE handle, HandleKind kind);
// Drops every handle that refers to stored or file state (files, searches, printers, registry keys).
void DropStoreHandles();

template <typename T>
std::shared_ptr<T> FindHandleOf(HANDLE handle, HandleKind kind) {
    auto object = FindHandle(handle);
    if (!object || object->Kind() != kind) return nullptr;
    return std::static_pointer_cast<T>(object);
}

// ---- Fault injection ----------------------------------------------------------------------------
// Each point makes the Nth call from the moment it is armed fail. The engine's allocations check
// AllocationFault() as HeapAlloc does.

class FaultPoint {
public:
    void Arm(unsigned nth) { countdown_.store(nth); }
    // Counts one call; true when this is the call that must fail.
    bool Hit() {
        unsigned n = countdown_.load();
        while (n != 0) {
            if (countdown_.compare_exchange_weak(n, n - 1)) return n == 1;
        }
        return false;
    }

private:
    std::atomic<unsigned> countdown_{0};
};

FaultPoint& AllocationFault();
FaultPoint& FileWriteFault();
FaultPoint& PrinterDataReadFault();
FaultPoint& PrinterWriteFault();
std::atomic<DWORD>& PrinterWriteLimit(); // the most bytes one WritePrinter takes; 0 is no limit
void DisarmAllFaults();

// ---- The host clock -----------------------------------------------------------------------------
// The system clock, or a test clock that moves only when advanced.

// Milliseconds since an arbitrary start, never going back; GetTickCount is its low 32 bits.
uint64_t TickMs();
bool TestClockActive();

// Waits with a time-out listen to the test clock: each listener runs after the clock has moved.
using ClockListener = void (*)();
void AddClockListener(ClockListener listener);
void NotifyClockAdvanced();

// ---- Waitable objects ---------------------------------------------------------------------------
// Objects a thread can wait on (events and threads). Their state lives under one lock, and every
// change of state, and every move of the test clock, wakes all waiters to look again.

std::mutex& WaitLock();
std::condition_variable& WaitChanged();
// Wait lock held: after a change that may release waiters.
void WakeWaiters();

class Waitable : public HostObject {
public:
    using HostObject::HostObject;
    // Wait lock held.
    virtual bool Signalled() const = 0;
    virtual void Acquire() {} // what a satisfied wait does to the object (an auto-reset event resets)
};

// ---- File errors and attributes -----------------------------------------------------------------

// Last-error codes for failed Linux file operations, as the platform would answer them.
DWORD ErrorFromErrno(int error);
// For a path that does not exist: ERROR_FILE_NOT_FOUND when its folder exists, else ERROR_PATH_NOT_FOUND.
DWORD MissingPathError(const std::string& linuxPath);

// Folders are FILE_ATTRIBUTE_DIRECTORY; files are FILE_ATTRIBUTE_ARCHIVE, as newly written files are
// on the platform; a file without the owner's write bit is also FILE_ATTRIBUTE_READONLY.
DWORD AttributesOf(const struct stat& st);
// 100-nanosecond intervals since 1601-01-01.
FILETIME FileTimeOf(const struct timespec& time);

// ---- Share modes --------------------------------------------------------------------------------
// Share modes between the open file handles of this process: an open, delete or copy that
// conflicts with a handle already open on the same file fails with ERROR_SHARING_VIOLATION.

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

// ---- Open files ---------------------------------------------------------------------------------

// A Linux file descriptor owned by exactly one object; closed once, when the owner dies.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    void Reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

// An open file behind a file handle: the descriptor, the granted access and its place in the
// share-mode table (left when the object dies).
class FileObject : public HostObject {
public:
    FileObject(UniqueFd fd, FileId id, DWORD access, DWORD share)
        : HostObject(HandleKind::File), fd_(std::move(fd)), id_(id), access_(access) {
        RegisterOpen(id_, this, access, share); // the caller holds the share lock
    }
    ~FileObject() override { UnregisterOpen(id_, this); }

    int Fd() const { return fd_.Get(); }
    DWORD Access() const { return access_; } // specific rights (see the share modes)
    bool CanRead() const { return access_ & kReadData; }
    bool CanWrite() const { return access_ & (kWriteData | kAppendData); }

private:
    UniqueFd fd_;
    FileId id_;
    DWORD access_;
};

// ---- Search patterns ----------------------------------------------------------------------------
// Matching names against the platform's search patterns: '*' any run of characters, '?' one
// character, case-insensitive; "*.*" matches every name, with or without a dot.
bool MatchesPattern(std::u16string_view name, std::u16string_view pattern);

} // namespace host
