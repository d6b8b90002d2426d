#include "log_append.h"

#include <algorithm>
#include <cstring>

#include "log_format.h"

namespace velt::log {

namespace {

bool AppendBytes(HANDLE file, const char* bytes, size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 0x40000000));
        DWORD written = 0;
        // Every write goes to the end: another process may append to the same file between writes.
        SetLastError(NO_ERROR);
        if (SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
            GetLastError() != NO_ERROR) {
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

bool AppendRecord(HANDLE file, const LogModuleNames& names, const SYSTEMTIME& now, bool withHeader,
                  bool withTimeStamp, const char* text, size_t textLength) {
    char prefix[kMaxHeaderSize + kTimeStampSize];
    size_t prefixSize = 0;
    if (withHeader) {
        char header[kMaxHeaderSize];
        const size_t headerSize = FormatHeader(names, now, header);
        if (headerSize == 0) {
            return false;
        }
        std::memcpy(prefix, header, headerSize);
        prefixSize = headerSize;
    }
    if (withTimeStamp) {
        char stamp[kTimeStampSize];
        FormatTimeStamp(now, stamp);
        std::memcpy(prefix + prefixSize, stamp, kTimeStampSize);
        prefixSize += kTimeStampSize;
    }
    return AppendBytes(file, prefix, prefixSize) && AppendBytes(file, text, textLength) &&
           AppendBytes(file, "\r\n", 2);
}

} // namespace velt::log
