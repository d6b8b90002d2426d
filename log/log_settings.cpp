#include "log_settings.h"

#include <array>
#include <bit>
#include <cstring>
#include <iterator>

// The record is stored little-endian and copied as it is.
static_assert(std::endian::native == std::endian::little);

namespace velt::log {

bool ReadLogSettings(HANDLE printer, DRIVER_LOG_SETTINGS& settings) {
    // Zeroed first, so that a short value reads as zero padding rather than stale bytes.
    std::array<BYTE, kSettingsReadBufferSize> buffer{};
    WCHAR valueName[] = DRIVER_LOG_FILE_VALUE;
    DWORD type = 0;
    DWORD needed = 0;
    if (GetPrinterDataW(printer, valueName, &type, buffer.data(), kSettingsReadBufferSize, &needed) != ERROR_SUCCESS) {
        return false;
    }
    static_assert(sizeof(DRIVER_LOG_SETTINGS) <= kSettingsReadBufferSize);
    std::memcpy(&settings, buffer.data(), sizeof settings);
    return true;
}

DWORD FamilyLimitBytes(BYTE maxSizeIndex) {
    constexpr DWORD kMegabytes[] = {1, 2, 5, 10};
    if (maxSizeIndex >= std::size(kMegabytes)) {
        return 0;
    }
    return kMegabytes[maxSizeIndex] * kFullFileSize;
}

size_t FolderLength(const DRIVER_LOG_SETTINGS& settings) {
    size_t length = 0;
    while (length < MAX_PATH && settings.dlFolder[length] != 0) {
        ++length;
    }
    return length;
}

} // namespace velt::log
