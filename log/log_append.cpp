#include "log_append.h"

#include <algorithm>
#include <cstring>

#include "log_format.h"

namespace velt::log {

namespace {

// Texts up to this length are written together with their prefix and line end.
constexpr size_t kShortText = 512;

bool AppendBytes(HANDLE file, const char* bytes, size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 0x40000000));
        DWORD written = 0;
        // Every write goes to the end: another process may append to the same file between writes.
        SetLastError(NO_ERROR);
        if (SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
            return false;
        }
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written != chunk) {
            return false;
        }
        bytes += chunk;
        size -= chunk;
    }
    return true;
}

} // namespace

bool AppendRecord(HANDLE file, const LogModuleNames& names, const SYSTEMTIME& now, bool withHeader, bool withTimeStamp,
                  const char* text, size_t textLength) {
    // A usual record goes out in one write, so that lines of processes sharing the file never interleave;
    // a long text follows the prefix in a write of its own.
    char record[kMaxHeaderSize + kTimeStampSize + kShortText + 2];
    size_t size = 0;
    if (withHeader) {
        char header[kMaxHeaderSize];
        const size_t headerSize = FormatHeader(names, now, header);
        if (headerSize == 0) {
            return false;
        }
        std::memcpy(record, header, headerSize);
        size = headerSize;
    }
    if (withTimeStamp) {
        char stamp[kTimeStampSize];
        FormatTimeStamp(now, stamp);
        std::memcpy(record + size, stamp, kTimeStampSize);
        size += kTimeStampSize;
    }
    if (textLength > kShortText) {
        return AppendBytes(file, record, size) && AppendBytes(file, text, textLength) && AppendBytes(file, "\r\n", 2);
    }
    std::memcpy(record + size, text, textLength);
    std::memcpy(record + size + textLength, "\r\n", 2);
    return AppendBytes(file, record, size + textLength + 2);
}

} // namespace velt::log
