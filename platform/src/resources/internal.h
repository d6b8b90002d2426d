// Internal to the host: a bounds-checked cursor over resource bytes, which the resource format
// parsers share. Every read either fits in the range or fails, leaving the caller to give up on the
// whole structure.
#pragma once

#include <cstring>
#include <span>
#include <string>
#include <type_traits>

#include "host/resource_format.h"

namespace host::res {

class ResourceReader {
public:
    explicit ResourceReader(std::span<const BYTE> bytes) : bytes_(bytes) {}

    size_t Position() const { return pos_; }
    size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }

    // Fixed-layout records are copied out, so the bytes need no particular alignment.
    template <typename T>
    bool Read(T& out) {
        static_assert(std::is_trivially_copyable_v<T>);
        if (Remaining() < sizeof(T)) {
            return false;
        }
        std::memcpy(&out, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return true;
    }

    bool Skip(size_t count) {
        if (Remaining() < count) {
            return false;
        }
        pos_ += count;
        return true;
    }

    bool ReadBytes(size_t count, std::span<const BYTE>& out) {
        if (Remaining() < count) {
            return false;
        }
        out = bytes_.subspan(pos_, count);
        pos_ += count;
        return true;
    }

    // Moves to the next DWORD boundary, counted from the start of the range.
    bool AlignToDword() { return Skip((4 - pos_ % 4) % 4); }

    // A zero-terminated UTF-16 string; the terminator must lie inside the range.
    bool ReadString(std::u16string& out) {
        std::u16string text;
        for (;;) {
            WORD unit = 0;
            if (!Read(unit)) {
                return false;
            }
            if (unit == 0) {
                break;
            }
            text.push_back(static_cast<char16_t>(unit));
        }
        out = std::move(text);
        return true;
    }

    // An ordinal (0xFFFF then a WORD), nothing (a zero WORD) or a zero-terminated string.
    bool ReadId(ResourceId& out) {
        WORD first = 0;
        if (!Read(first)) {
            return false;
        }
        if (first == 0xFFFF) {
            WORD ordinal = 0;
            if (!Read(ordinal)) {
                return false;
            }
            out = ResourceId::Ordinal(ordinal);
            return true;
        }
        if (first == 0) {
            out = ResourceId{};
            return true;
        }
        std::u16string rest;
        if (!ReadString(rest)) {
            return false;
        }
        out = ResourceId::Named(static_cast<char16_t>(first) + rest);
        return true;
    }

private:
    std::span<const BYTE> bytes_;
    size_t pos_ = 0;
};

} // namespace host::res
