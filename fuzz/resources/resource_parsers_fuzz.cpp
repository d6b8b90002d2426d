// Arbitrary bytes through the host's resource parsers: as a whole .res file, whose resources then go to
// the parser of their type, and directly as a dialog template, a dialog-initialisation list, a version
// block and a string-table block. Each piece handed on is copied into a buffer of exactly its length,
// so that the address sanitizer sees any read beyond it.
//
// Checked: what a parser answers lies inside the bytes it was given; a dialog template or a
// dialog-initialisation list written back out reads back the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "host/resource_format.h"
#include "resource_encoding.h"

using namespace host::res;

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Resource types of the data that the host reads further.
constexpr WORD STRING_TYPE = 6;
constexpr WORD DIALOG_TYPE = 5;
constexpr WORD VERSION_TYPE = 16;
constexpr WORD DIALOG_INIT_TYPE = 240;

bool SameId(const ResourceId& a, const ResourceId& b) { return a == b; }

bool SameControl(const DialogControl& a, const DialogControl& b) {
    return a.helpId == b.helpId && a.exStyle == b.exStyle && a.style == b.style && a.x == b.x && a.y == b.y &&
           a.cx == b.cx && a.cy == b.cy && a.id == b.id && SameId(a.windowClass, b.windowClass) &&
           SameId(a.title, b.title) && a.creationData == b.creationData;
}

bool SameDialog(const DialogTemplate& a, const DialogTemplate& b) {
    if (a.helpId != b.helpId || a.exStyle != b.exStyle || a.style != b.style || a.x != b.x || a.y != b.y ||
        a.cx != b.cx || a.cy != b.cy || !SameId(a.menu, b.menu) || !SameId(a.windowClass, b.windowClass) ||
        a.title != b.title || a.hasFont != b.hasFont || a.pointSize != b.pointSize || a.weight != b.weight ||
        a.italic != b.italic || a.charset != b.charset || a.typeface != b.typeface ||
        a.controls.size() != b.controls.size()) {
        return false;
    }
    for (size_t i = 0; i < a.controls.size(); ++i) {
        if (!SameControl(a.controls[i], b.controls[i])) {
            return false;
        }
    }
    return true;
}

void CheckDialog(std::span<const BYTE> data) {
    const auto dialog = ParseDialogTemplate(data);
    if (!dialog) {
        return;
    }
    Require(dialog->controls.size() <= data.size() / sizeof(DialogItemTemplateExHead));
    // Every unit read came from the data: the texts and creation data together fit in it.
    size_t payload = (dialog->title.size() + dialog->typeface.size()) * sizeof(WCHAR);
    for (const DialogControl& control : dialog->controls) {
        payload += control.creationData.size() + (control.windowClass.name.size() + control.title.name.size()) * 2;
    }
    Require(payload <= data.size());

    const std::vector<BYTE> again = resource_fuzz::Encode(*dialog);
    Require(again.size() <= data.size());
    const auto reread = ParseDialogTemplate(again);
    Require(reread.has_value() && SameDialog(*dialog, *reread));
}

void CheckDialogInit(std::span<const BYTE> data) {
    const auto entries = ParseDialogInit(data);
    if (!entries) {
        return;
    }
    for (const DialogInitEntry& entry : *entries) {
        Require(entry.controlId != 0);
    }
    // The list has no padding: written back out, it is exactly the bytes read.
    const std::vector<BYTE> again = resource_fuzz::Encode(*entries);
    Require(again.size() <= data.size() && std::memcmp(again.data(), data.data(), again.size()) == 0);
}

void CheckVersion(std::span<const BYTE> data) {
    const auto info = ParseVersionInfo(data);
    if (!info) {
        return;
    }
    Require(info->translations.size() <= data.size() / sizeof(DWORD));
    size_t strings = 0;
    for (const VersionStringTable& table : info->stringTables) {
        for (const auto& [key, value] : table.values) {
            Require(info->FindString(key) != nullptr);
            strings += key.size() + value.size();
        }
    }
    Require(strings * sizeof(WCHAR) <= data.size());
}

void CheckStringBlock(std::span<const BYTE> block) {
    size_t end = 0;
    for (unsigned index = 0; index < 16; ++index) {
        const auto slot = FindStringInBlock(block, index);
        if (!slot) {
            return; // a later string cannot be found behind a missing one
        }
        Require(slot->offset == end + sizeof(WORD));
        WORD length = 0;
        std::memcpy(&length, block.data() + end, sizeof length);
        Require(slot->length == length);
        end = slot->offset + size_t{slot->length} * sizeof(WCHAR);
        Require(end <= block.size());
    }
    Require(!FindStringInBlock(block, 16).has_value());
}

// A copy of exactly these bytes, in memory of its own.
template <typename Check>
void OnCopy(std::span<const BYTE> bytes, Check check) {
    std::unique_ptr<BYTE[]> copy(new BYTE[bytes.size()]);
    if (!bytes.empty()) {
        std::memcpy(copy.get(), bytes.data(), bytes.size());
    }
    check(std::span<const BYTE>(copy.get(), bytes.size()));
}

void CheckResourceFile(std::span<const BYTE> file) {
    const auto entries = ParseResourceFile(file);
    if (!entries) {
        return;
    }
    size_t previousEnd = 0;
    for (const ResourceEntry& entry : *entries) {
        Require(!entry.type.IsNone() && !entry.name.IsNone());
        // In file order, each resource's data after the previous one's, inside the file.
        // A header holds at least the two sizes, an ordinal type and name and the fixed tail: 32 bytes.
        Require(entry.dataOffset >= previousEnd + 32);
        Require(entry.dataOffset <= file.size() && entry.dataSize <= file.size() - entry.dataOffset);
        previousEnd = entry.dataOffset + entry.dataSize;

        const std::span<const BYTE> data = file.subspan(entry.dataOffset, entry.dataSize);
        if (!entry.type.isOrdinal) {
            continue;
        }
        switch (entry.type.ordinal) {
        case STRING_TYPE: OnCopy(data, CheckStringBlock); break;
        case DIALOG_TYPE: OnCopy(data, CheckDialog); break;
        case VERSION_TYPE: OnCopy(data, CheckVersion); break;
        case DIALOG_INIT_TYPE: OnCopy(data, CheckDialogInit); break;
        default: break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const BYTE> bytes(data, size);
    CheckResourceFile(bytes);
    CheckDialog(bytes);
    CheckDialogInit(bytes);
    CheckVersion(bytes);
    CheckStringBlock(bytes);
    return 0;
}
