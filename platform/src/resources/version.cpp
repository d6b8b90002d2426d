// Reading a version block: a tree of blocks, each with a length, a key, a value and children.
// The root "VS_VERSION_INFO" holds the fixed file information; its children "StringFileInfo"
// (string tables of named texts) and "VarFileInfo" ("Translation" pairs).
#include "host/resource_format.h"
#include "resources/internal.h"

namespace host::res {

namespace {

struct VersionBlock {
    VersionBlockHead head{};
    std::u16string key;
    std::span<const BYTE> value;
    std::span<const BYTE> children;
};

bool ReadBlock(ResourceReader& reader, std::span<const BYTE> range, VersionBlock& block) {
    const size_t start = reader.Position();
    if (!reader.Read(block.head) || block.head.wLength < sizeof(VersionBlockHead)) {
        return false;
    }
    std::span<const BYTE> whole;
    ResourceReader outer(range.subspan(start));
    if (!outer.ReadBytes(block.head.wLength, whole)) {
        return false;
    }
    ResourceReader inner(whole);
    inner.Skip(sizeof(VersionBlockHead));
    const size_t valueBytes =
        block.head.wType == 1 ? size_t{block.head.wValueLength} * sizeof(WCHAR) : size_t{block.head.wValueLength};
    if (!inner.ReadString(block.key) || !inner.AlignToDword() || !inner.ReadBytes(valueBytes, block.value)) {
        return false;
    }
    // Children start on the next DWORD boundary; a block may end without that padding.
    const size_t padding = (4 - inner.Position() % 4) % 4;
    block.children = inner.Remaining() <= padding ? std::span<const BYTE>{} : whole.subspan(inner.Position() + padding);
    reader.Skip(block.head.wLength - sizeof(VersionBlockHead));
    return true;
}

// Calls visit(block) for each child block in a range of children; false when one is malformed.
template <typename Visit>
bool ForEachBlock(std::span<const BYTE> range, Visit visit) {
    ResourceReader reader(range);
    for (;;) {
        const size_t padding = (4 - reader.Position() % 4) % 4;
        if (reader.Remaining() <= padding) {
            return true;
        }
        reader.Skip(padding);
        VersionBlock block;
        if (!ReadBlock(reader, range, block) || !visit(block)) {
            return false;
        }
    }
}

std::u16string TextValue(std::span<const BYTE> value) {
    std::u16string text(value.size() / sizeof(WCHAR), u'\0');
    std::memcpy(text.data(), value.data(), text.size() * sizeof(WCHAR));
    while (!text.empty() && text.back() == u'\0') {
        text.pop_back();
    }
    return text;
}

bool ReadStringTables(const VersionBlock& stringFileInfo, VersionInfo& info) {
    return ForEachBlock(stringFileInfo.children, [&info](const VersionBlock& table) {
        VersionStringTable strings;
        strings.languageCodePage = table.key;
        const bool ok = ForEachBlock(table.children, [&strings](const VersionBlock& value) {
            strings.values.emplace_back(value.key, TextValue(value.value));
            return true;
        });
        info.stringTables.push_back(std::move(strings));
        return ok;
    });
}

bool ReadTranslations(const VersionBlock& varFileInfo, VersionInfo& info) {
    return ForEachBlock(varFileInfo.children, [&info](const VersionBlock& var) {
        if (var.key == u"Translation") {
            for (size_t at = 0; at + sizeof(DWORD) <= var.value.size(); at += sizeof(DWORD)) {
                DWORD pair = 0;
                std::memcpy(&pair, var.value.data() + at, sizeof pair);
                info.translations.push_back(pair);
            }
        }
        return true;
    });
}

} // namespace

const std::u16string* VersionInfo::FindString(std::u16string_view key) const {
    for (const VersionStringTable& table : stringTables) {
        for (const auto& [name, value] : table.values) {
            if (name == key) {
                return &value;
            }
        }
    }
    return nullptr;
}

std::optional<VersionInfo> ParseVersionInfo(std::span<const BYTE> data) {
    ResourceReader reader(data);
    VersionBlock root;
    if (!ReadBlock(reader, data, root) || root.key != u"VS_VERSION_INFO") {
        return std::nullopt;
    }
    VersionInfo info;
    if (!root.value.empty()) {
        if (root.value.size() < sizeof(VS_FIXEDFILEINFO)) {
            return std::nullopt;
        }
        std::memcpy(&info.fixed, root.value.data(), sizeof info.fixed);
        if (info.fixed.dwSignature != VS_FFI_SIGNATURE) {
            return std::nullopt;
        }
    }
    const bool ok = ForEachBlock(root.children, [&info](const VersionBlock& child) {
        if (child.key == u"StringFileInfo") {
            return ReadStringTables(child, info);
        }
        if (child.key == u"VarFileInfo") {
            return ReadTranslations(child, info);
        }
        return true;
    });
    if (!ok) {
        return std::nullopt;
    }
    return info;
}

} // namespace host::res
