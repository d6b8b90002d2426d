// The host's admission check for device mode records.
#include "host/devmode_check.h"

#include <cstring>

#include <wingdi.h>

namespace {

constexpr size_t kHeaderBytes = offsetof(DEVMODEW, dmDriverExtra) + sizeof(WORD);

WORD ReadWord(const void* record, size_t offset) {
    WORD value = 0; // the record may sit at any address
    std::memcpy(&value, static_cast<const BYTE*>(record) + offset, sizeof(value));
    return value;
}

} // namespace

BOOL HostIsValidDevmode(const void* record, size_t bytesGiven) {
    if (record == nullptr || bytesGiven < kHeaderBytes) {
        return FALSE;
    }
    const size_t size = ReadWord(record, offsetof(DEVMODEW, dmSize));
    const size_t extra = ReadWord(record, offsetof(DEVMODEW, dmDriverExtra));
    return size >= kHeaderBytes && size + extra <= bytesGiven ? TRUE : FALSE;
}
