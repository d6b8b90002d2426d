// Device mode records as raw bytes, so tests state offsets and values exactly as they are stored.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "driver_devmode.h"

class DevmodeBytes {
public:
    // A record of exactly `size` bytes (so a sanitizer sees any read beyond it), all zero.
    explicit DevmodeBytes(size_t size) : bytes_(size, 0) {}

    // The driver's default record, resized to `size` bytes and given those public and private sizes.
    static DevmodeBytes Defaults(size_t size, uint16_t dmSize, uint16_t dmDriverExtra) {
        DRIVER_DEVMODE record;
        DevmodeSetDefaults(&record, nullptr);
        DevmodeBytes out(size);
        std::memcpy(out.bytes_.data(), &record, std::min(size, sizeof(record)));
        out.Put16(68, dmSize);
        out.Put16(70, dmDriverExtra);
        return out;
    }

    void Put16(size_t offset, uint16_t value) {
        bytes_.at(offset) = static_cast<uint8_t>(value);
        bytes_.at(offset + 1) = static_cast<uint8_t>(value >> 8);
    }
    void Put32(size_t offset, uint32_t value) {
        Put16(offset, static_cast<uint16_t>(value));
        Put16(offset + 2, static_cast<uint16_t>(value >> 16));
    }
    uint16_t Get16(size_t offset) const {
        return static_cast<uint16_t>(bytes_.at(offset) | bytes_.at(offset + 1) << 8);
    }
    uint32_t Get32(size_t offset) const { return Get16(offset) | static_cast<uint32_t>(Get16(offset + 2)) << 16; }
    void PutText(size_t offset, const std::u16string& text) {
        for (size_t i = 0; i < text.size(); ++i) {
            Put16(offset + 2 * i, text[i]);
        }
    }

    const DEVMODEW* record() const { return reinterpret_cast<const DEVMODEW*>(bytes_.data()); }
    DEVMODEW* record() { return reinterpret_cast<DEVMODEW*>(bytes_.data()); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

inline std::vector<uint8_t> BytesOf(const DRIVER_DEVMODE& record) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(p, p + sizeof(record));
}
