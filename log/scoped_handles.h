// Owners of the platform handles that the library opens for its own use: each closes on scope exit.
#pragma once

#include <utility>

#include "platform.h"

namespace velt::log {

// A file handle; an unopened one holds INVALID_HANDLE_VALUE, as CreateFileW answers on failure.
class ScopedFile {
public:
    ScopedFile() = default;
    explicit ScopedFile(HANDLE handle) : handle_(handle) {}
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    ScopedFile(ScopedFile&& other) noexcept : handle_(other.Release()) {}
    ScopedFile& operator=(ScopedFile&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    ~ScopedFile() { Reset(INVALID_HANDLE_VALUE); }

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    void Reset(HANDLE handle) {
        if (IsOpen()) {
            CloseHandle(handle_);
        }
        handle_ = handle;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// A directory search from FindFirstFileW.
class ScopedSearch {
public:
    explicit ScopedSearch(HANDLE search) : search_(search) {}
    ScopedSearch(const ScopedSearch&) = delete;
    ScopedSearch& operator=(const ScopedSearch&) = delete;
    ~ScopedSearch() {
        if (IsOpen()) {
            FindClose(search_);
        }
    }

    bool IsOpen() const { return search_ != INVALID_HANDLE_VALUE && search_ != nullptr; }
    HANDLE Get() const { return search_; }

private:
    HANDLE search_;
};

// A block from the process heap.
class ScopedHeapBlock {
public:
    ScopedHeapBlock(DWORD flags, SIZE_T bytes) : block_(HeapAlloc(GetProcessHeap(), flags, bytes)) {}
    ScopedHeapBlock(const ScopedHeapBlock&) = delete;
    ScopedHeapBlock& operator=(const ScopedHeapBlock&) = delete;
    ~ScopedHeapBlock() {
        if (block_ != nullptr) {
            HeapFree(GetProcessHeap(), 0, block_);
        }
    }

    LPVOID Get() const { return block_; }

private:
    LPVOID block_;
};

} // namespace velt::log
