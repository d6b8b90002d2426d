// Helpers the conversions and the turn share: eight 0/1 flags packed into one byte with the first flag in the
// most significant bit, a bit packer for the dots of a byte that runs across the end of a row, and
// whether the SSE2 paths are built.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform.h"

// SSE2 is the x86-64 baseline; 32-bit x86 has it when the compiler is told to use it.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define RASTER_SSE2 1
#else
#define RASTER_SSE2 0
#endif

// flags[0..7] are 0 or 1. On a little-endian machine one multiplication gathers them: flag i sits at
// bit 8i, and the product puts it at bit 63 - i, with no two partial products landing on one bit.
inline BYTE PackEightFlags(const uint8_t* flags) {
    if constexpr (std::endian::native == std::endian::little) {
        uint64_t word;
        std::memcpy(&word, flags, 8);
        return static_cast<BYTE>((word * 0x8040201008040201ULL) >> 56);
    } else {
        unsigned byte = 0;
        for (int i = 0; i < 8; ++i) {
            byte = (byte << 1) | flags[i];
        }
        return static_cast<BYTE>(byte);
    }
}

// Collects dots one at a time for a byte that runs across the end of a row; Push answers true when
// the eighth dot has completed the byte.
class DotCollector {
public:
    bool Aligned() const { return count_ == 0; }
    bool Push(unsigned dot) {
        bits_ = (bits_ << 1) | dot;
        if (++count_ < 8) {
            return false;
        }
        byte_ = static_cast<BYTE>(bits_);
        bits_ = count_ = 0;
        return true;
    }
    BYTE Byte() const { return byte_; }

private:
    unsigned bits_ = 0;
    unsigned count_ = 0;
    BYTE byte_ = 0;
};
