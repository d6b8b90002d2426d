// Owners of the platform resources that the libraries take for their own use: each gives its resource
// back when it goes out of scope. They all speak the std::unique_ptr vocabulary (get, release, reset and
// a test for "holds something"), move but never copy, and neither allocate nor throw.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>

#include "platform.h"

namespace velt {

// ---- Blocks from the process heap ----------------------------------------------------------------

struct HeapFreeDeleter {
    void operator()(void* block) const noexcept { HeapFree(GetProcessHeap(), 0, block); }
};

// A block of the process heap seen as a T (BYTE for plain memory).
template <typename T>
using HeapPtr = std::unique_ptr<T, HeapFreeDeleter>;
using HeapBlock = HeapPtr<BYTE>;

// `bytes` bytes from the process heap as a T (HEAP_ZERO_MEMORY in flags zeroes them); empty when the
// heap refuses. The caller's type must need no construction: the bytes are all it gets.
template <typename T = BYTE>
HeapPtr<T> HeapAllocate(DWORD flags, size_t bytes = sizeof(T)) {
    return HeapPtr<T>(static_cast<T*>(HeapAlloc(GetProcessHeap(), flags, bytes)));
}

// ---- Handles ---------------------------------------------------------------------------------------

// An owned handle whose kind says what "none" is and how the handle is given back:
//   struct Kind {
//       using Handle = ...;
//       static Handle None();
//       static bool Holds(Handle);
//       static void Close(Handle);
//   };
template <typename Kind>
class UniqueHandle {
public:
    using Handle = typename Kind::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    explicit operator bool() const noexcept { return Kind::Holds(handle_); }
    Handle get() const noexcept { return handle_; }
    Handle release() noexcept { return std::exchange(handle_, Kind::None()); }
    void reset(Handle handle = Kind::None()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (Kind::Holds(old)) {
            Kind::Close(old);
        }
    }

private:
    Handle handle_ = Kind::None();
};

// A file from CreateFileW, which answers INVALID_HANDLE_VALUE on failure (null counts as none too).
struct FileHandleKind {
    using Handle = HANDLE;
    static Handle None() noexcept { return INVALID_HANDLE_VALUE; }
    static bool Holds(Handle handle) noexcept { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    static void Close(Handle handle) noexcept { CloseHandle(handle); }
};
using FileHandle = UniqueHandle<FileHandleKind>;

// A directory search from FindFirstFileW (INVALID_HANDLE_VALUE on failure).
struct SearchHandleKind {
    using Handle = HANDLE;
    static Handle None() noexcept { return INVALID_HANDLE_VALUE; }
    static bool Holds(Handle handle) noexcept { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    static void Close(Handle handle) noexcept { FindClose(handle); }
};
using SearchHandle = UniqueHandle<SearchHandleKind>;

// A printer from OpenPrinterW.
struct PrinterHandleKind {
    using Handle = HANDLE;
    static Handle None() noexcept { return nullptr; }
    static bool Holds(Handle handle) noexcept { return handle != nullptr; }
    static void Close(Handle handle) noexcept { ClosePrinter(handle); }
};
using PrinterHandle = UniqueHandle<PrinterHandleKind>;

// A registry key from RegOpenKeyExW or RegCreateKeyExW.
struct RegistryKeyKind {
    using Handle = HKEY;
    static Handle None() noexcept { return nullptr; }
    static bool Holds(Handle key) noexcept { return key != nullptr; }
    static void Close(Handle key) noexcept { RegCloseKey(key); }
};
using RegistryKey = UniqueHandle<RegistryKeyKind>;

// The named printer opened with `access`; none when there is no name or the open fails.
inline PrinterHandle OpenPrinterFor(LPCWSTR name, ACCESS_MASK access) {
    if (name == nullptr) {
        return PrinterHandle();
    }
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(name), &printer, &defaults)) {
        return PrinterHandle();
    }
    return PrinterHandle(printer);
}

// A key under `root` opened with `access`; none when it does not open.
inline RegistryKey OpenRegistryKey(HKEY root, LPCWSTR subKey, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey, 0, access, &key) != ERROR_SUCCESS) {
        return RegistryKey();
    }
    return RegistryKey(key);
}

} // namespace velt
