#include "log_format.h"

#include <cstdio>
#include <cstring>

namespace velt::log {

namespace {

constexpr char kVersionLine[] = "Version: V01.02"; // written with its zero byte: 16 bytes
constexpr size_t kDateSize = 11;
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

size_t Put(char* out, const char* field, size_t size) {
    std::memcpy(out, field, size);
    return size;
}

} // namespace

size_t FormatHeader(const LogModuleNames& names, const SYSTEMTIME& now, char (&out)[kMaxHeaderSize]) {
    const size_t lineSize = std::strlen(names.headerLine) + 1;
    static_assert(kMaxHeaderSize == 30 + 2 + sizeof kVersionLine + 2 + kDateSize + 4);
    if (lineSize > 30) {
        return 0;
    }
    // A month the clock can't give reads no table; a year too wide for the date is cut to its 11 bytes.
    const char* month = now.wMonth >= 1 && now.wMonth <= 12 ? kMonths[now.wMonth - 1] : "???";
    char date[64];
    const int dateLength = std::snprintf(date, sizeof date, "%02d.%s.%4d", now.wDay, month, now.wYear);
    if (dateLength < static_cast<int>(kDateSize)) {
        return 0;
    }
    size_t at = 0;
    at += Put(out + at, names.headerLine, lineSize);
    at += Put(out + at, "\r\n", 2);
    at += Put(out + at, kVersionLine, sizeof kVersionLine);
    at += Put(out + at, "\r\n", 2);
    at += Put(out + at, date, kDateSize);
    at += Put(out + at, "\r\n\r\n", 4);
    return at;
}

void FormatTimeStamp(const SYSTEMTIME& now, char (&out)[kTimeStampSize]) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    std::memcpy(out, stamp, kTimeStampSize - 1);
    out[kTimeStampSize - 1] = 0;
}

} // namespace velt::log
