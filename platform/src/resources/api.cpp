// The platform's resource functions over a loaded module's resource section: FindResourceW,
// LoadResource, LockResource, SizeofResource and LoadStringW. A handle that names no loaded module
// (the empty handle included) has no resources: lookups answer ERROR_RESOURCE_DATA_NOT_FOUND.
#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

#include "kernel/internal.h"
#include "module/internal.h"
#include "platform.h"

namespace {

using host::ResourceImage;
using host::res::ResourceEntry;
using host::res::ResourceId;

constexpr WORD LANGUAGE_US_ENGLISH = 1033;
constexpr int STRINGS_PER_BLOCK = 16;

// "#123" names ordinal 123, as on the platform.
bool ParseOrdinalName(std::u16string_view text, WORD& ordinal) {
    if (text.size() < 2 || text.size() > 6 || text[0] != u'#') {
        return false;
    }
    DWORD value = 0;
    for (char16_t c : text.substr(1)) {
        if (c < u'0' || c > u'9') {
            return false;
        }
        value = value * 10 + static_cast<DWORD>(c - u'0');
    }
    if (value > 0xFFFF) {
        return false;
    }
    ordinal = static_cast<WORD>(value);
    return true;
}

// Resource names and types given as strings match without regard to case.
bool Matches(const ResourceId& stored, LPCWSTR wanted) {
    if (IS_INTRESOURCE(wanted)) {
        return stored.isOrdinal && stored.ordinal == LOWORD(wanted);
    }
    const std::u16string_view text(wanted);
    if (WORD ordinal = 0; ParseOrdinalName(text, ordinal)) {
        return stored.isOrdinal && stored.ordinal == ordinal;
    }
    return !stored.isOrdinal && host::EqualNoCase(stored.name, text);
}

// US English wins where a resource exists in several languages; otherwise the first one listed.
const ResourceEntry* Find(const ResourceImage& image, LPCWSTR name, LPCWSTR type, DWORD& error) {
    bool typeFound = false;
    const ResourceEntry* best = nullptr;
    for (const ResourceEntry& entry : image.entries) {
        if (!Matches(entry.type, type)) {
            continue;
        }
        typeFound = true;
        if (Matches(entry.name, name) &&
            (best == nullptr || (entry.language == LANGUAGE_US_ENGLISH && best->language != LANGUAGE_US_ENGLISH))) {
            best = &entry;
        }
    }
    if (best == nullptr) {
        error = typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
    }
    return best;
}

// The entry an HRSRC stands for, if it is one of this module's.
const ResourceEntry* EntryOf(const ResourceImage& image, HRSRC resource) {
    for (const ResourceEntry& entry : image.entries) {
        if (reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&entry)) == resource) {
            return &entry;
        }
    }
    return nullptr;
}

const BYTE* DataOf(const ResourceImage& image, const ResourceEntry& entry) {
    return image.bytes.data() + entry.dataOffset;
}

} // namespace

extern "C" HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    return host::Guarded<HRSRC>(nullptr, [&]() -> HRSRC {
        if (name == nullptr || type == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        const ResourceImage* image = host::FindModuleResources(module);
        if (image == nullptr) {
            SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
            return nullptr;
        }
        DWORD error = ERROR_SUCCESS;
        const ResourceEntry* entry = Find(*image, name, type, error);
        if (entry == nullptr) {
            SetLastError(error);
            return nullptr;
        }
        return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
    });
}

// The resource's bytes stay where the module keeps them; LockResource answers the same address.
extern "C" HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    return host::Guarded<HGLOBAL>(nullptr, [&]() -> HGLOBAL {
        const ResourceImage* image = host::FindModuleResources(module);
        const ResourceEntry* entry = image != nullptr ? EntryOf(*image, resource) : nullptr;
        if (entry == nullptr) {
            SetLastError(image != nullptr ? ERROR_INVALID_HANDLE : ERROR_RESOURCE_DATA_NOT_FOUND);
            return nullptr;
        }
        return const_cast<BYTE*>(DataOf(*image, *entry));
    });
}

extern "C" LPVOID LockResource(HGLOBAL data) { return data; }

extern "C" DWORD SizeofResource(HMODULE module, HRSRC resource) {
    return host::Guarded<DWORD>(0, [&]() -> DWORD {
        const ResourceImage* image = host::FindModuleResources(module);
        const ResourceEntry* entry = image != nullptr ? EntryOf(*image, resource) : nullptr;
        if (entry == nullptr) {
            SetLastError(image != nullptr ? ERROR_INVALID_HANDLE : ERROR_RESOURCE_DATA_NOT_FOUND);
            return 0;
        }
        return entry->dataSize;
    });
}

// String `id` is string id%16 of block id/16+1. With bufferMax 0, buffer receives a read-only
// pointer to the text in the resource (not terminated) and the answer is its length. Otherwise at most
// bufferMax-1 characters are copied and always terminated; an absent string leaves an empty buffer.
extern "C" int LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int bufferMax) {
    return host::Guarded<int>(0, [&]() -> int {
        if (buffer == nullptr || bufferMax < 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (bufferMax > 0) {
            buffer[0] = u'\0';
        }
        const ResourceImage* image = host::FindModuleResources(module);
        if (image == nullptr) {
            SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
            return 0;
        }
        const WORD stringId = LOWORD(id);
        DWORD error = ERROR_SUCCESS;
        const ResourceEntry* block = Find(*image, MAKEINTRESOURCEW(stringId / STRINGS_PER_BLOCK + 1), RT_STRING, error);
        if (block == nullptr) {
            SetLastError(error);
            return 0;
        }
        const std::span<const BYTE> bytes(DataOf(*image, *block), block->dataSize);
        const std::optional<host::res::StringSlot> slot =
            host::res::FindStringInBlock(bytes, stringId % STRINGS_PER_BLOCK);
        if (!slot) {
            SetLastError(ERROR_INVALID_DATA);
            return 0;
        }
        if (slot->length == 0) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return 0;
        }
        const BYTE* text = bytes.data() + slot->offset;
        if (bufferMax == 0) {
            const WCHAR* pointer = reinterpret_cast<const WCHAR*>(text);
            std::memcpy(buffer, &pointer, sizeof pointer);
            return slot->length;
        }
        const int copied = std::min<int>(slot->length, bufferMax - 1);
        std::memcpy(buffer, text, static_cast<size_t>(copied) * sizeof(WCHAR));
        buffer[copied] = u'\0';
        if (copied == 0) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
        }
        return copied;
    });
}
