// Packs an information record the platform's way: the fixed structures first, then the strings
// and device modes they point to, all inside the caller's buffer. Measure first, then fill.
#pragma once

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "host/types.h"

namespace host {

class InfoPacker {
public:
    explicit InfoPacker(size_t fixedBytes) : end_(fixedBytes) {}

    // Reserves room for a string (with its terminator); empty strings are not stored and come back null.
    size_t AddString(std::u16string_view text) {
        if (text.empty()) return kNone;
        strings_.emplace_back(text);
        return Add(strings_.back().c_str(), (text.size() + 1) * sizeof(char16_t), alignof(char16_t));
    }
    size_t AddBytes(const std::vector<uint8_t>& bytes, size_t align) {
        if (bytes.empty()) return kNone;
        return Add(bytes.data(), bytes.size(), align);
    }
    size_t Needed() const { return end_; }

    // The buffer must hold Needed() bytes; copies what was reserved.
    void CopyInto(BYTE* base) const {
        for (const auto& item : items_) std::memcpy(base + item.offset, item.data, item.size);
    }
    template <typename T>
    static T* At(BYTE* base, size_t offset) {
        return offset == kNone ? nullptr : reinterpret_cast<T*>(base + offset);
    }

    static constexpr size_t kNone = static_cast<size_t>(-1);

private:
    struct Item {
        size_t offset;
        const void* data;
        size_t size;
    };
    size_t Add(const void* data, size_t size, size_t align) {
        end_ = (end_ + align - 1) / align * align;
        items_.push_back(Item{end_, data, size});
        end_ += size;
        return items_.back().offset;
    }

    size_t end_;
    std::deque<std::u16string> strings_; // stable addresses until CopyInto
    std::vector<Item> items_;
};

} // namespace host
