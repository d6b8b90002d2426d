// Reading the standard binary resource format: the list of resources of a .res file, and the
// counted strings of a string-table block.
#include "host/resource_format.h"
#include "resources/internal.h"

namespace host::res {

std::optional<std::vector<ResourceEntry>> ParseResourceFile(std::span<const BYTE> file) {
    std::vector<ResourceEntry> entries;
    ResourceReader reader(file);
    for (;;) {
        // Every header starts on a DWORD boundary; the last resource's padding may be missing.
        const size_t padding = (4 - reader.Position() % 4) % 4;
        if (reader.Remaining() <= padding) {
            break;
        }
        reader.Skip(padding);
        const size_t start = reader.Position();
        ResourceReader rest(file.subspan(start));
        DWORD dataSize = 0;
        DWORD headerSize = 0;
        // The header's own fields must lie inside HeaderSize; the data follow it.
        if (!rest.Read(dataSize) || !rest.Read(headerSize) || headerSize < 8 || !rest.Skip(headerSize - 8)) {
            return std::nullopt;
        }
        const std::span<const BYTE> header = file.subspan(start, headerSize);
        ResourceReader fields(header);
        ResourceEntry entry;
        ResourceHeaderTail tail{};
        if (!fields.Skip(8) || !fields.ReadId(entry.type) || !fields.ReadId(entry.name) || entry.type.IsNone() ||
            entry.name.IsNone() || !fields.AlignToDword() || !fields.Read(tail)) {
            return std::nullopt;
        }
        if (!rest.Skip(dataSize)) {
            return std::nullopt;
        }
        entry.language = tail.LanguageId;
        entry.memoryFlags = tail.MemoryFlags;
        entry.dataOffset = start + headerSize;
        entry.dataSize = dataSize;
        // A .res file opens with an empty resource of type 0 that only marks the format.
        const bool formatMarker = entry.type.isOrdinal && entry.type.ordinal == 0 && dataSize == 0;
        if (!formatMarker) {
            entries.push_back(std::move(entry));
        }
        reader.Skip(rest.Position());
    }
    return entries;
}

std::optional<StringSlot> FindStringInBlock(std::span<const BYTE> block, unsigned index) {
    if (index > 15) {
        return std::nullopt;
    }
    ResourceReader reader(block);
    for (unsigned i = 0;; ++i) {
        WORD length = 0;
        if (!reader.Read(length)) {
            return std::nullopt;
        }
        const size_t offset = reader.Position();
        if (!reader.Skip(static_cast<size_t>(length) * sizeof(WCHAR))) {
            return std::nullopt;
        }
        if (i == index) {
            return StringSlot{offset, length};
        }
    }
}

} // namespace host::res
