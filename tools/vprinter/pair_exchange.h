// Raster data travels with every pair of bytes exchanged (bytes 0 and 1, 2 and 3, ...; an odd last byte
// stays). The exchange is its own inverse, so one function both applies and undoes it.
#pragma once

#include <cstdint>
#include <span>
#include <utility>

namespace vprinter {

inline void ExchangePairs(std::span<uint8_t> bytes) {
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
}

} // namespace vprinter
