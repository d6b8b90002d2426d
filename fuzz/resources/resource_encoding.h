// Writes parsed dialog templates and dialog-initialisation lists back in their binary layouts, so that
// the fuzz target can read them again and compare.
#pragma once

#include <cstring>
#include <vector>

#include "host/resource_format.h"

namespace resource_fuzz {

class Writer {
public:
    std::vector<BYTE> bytes;

    template <typename T>
    void Put(const T& value) {
        const size_t at = bytes.size();
        bytes.resize(at + sizeof value);
        std::memcpy(bytes.data() + at, &value, sizeof value);
    }
    void PutBytes(const std::vector<BYTE>& data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
    void PutString(const std::u16string& text) {
        for (char16_t unit : text) {
            Put(static_cast<WORD>(unit));
        }
        Put(WORD{0});
    }
    void PutId(const host::res::ResourceId& id) {
        if (id.isOrdinal) {
            Put(WORD{0xFFFF});
            Put(id.ordinal);
        } else {
            PutString(id.name); // nothing is the empty string: a single zero WORD
        }
    }
    void AlignToDword() { bytes.resize((bytes.size() + 3) / 4 * 4, 0); }
};

inline std::vector<BYTE> Encode(const host::res::DialogTemplate& dialog) {
    using namespace host::res;
    Writer out;
    const DialogTemplateExHead head{1,
                                    DIALOGEX_SIGNATURE,
                                    dialog.helpId,
                                    dialog.exStyle,
                                    dialog.style,
                                    static_cast<WORD>(dialog.controls.size()),
                                    dialog.x,
                                    dialog.y,
                                    dialog.cx,
                                    dialog.cy};
    out.Put(head);
    out.PutId(dialog.menu);
    out.PutId(dialog.windowClass);
    out.PutString(dialog.title);
    if (dialog.hasFont) {
        out.Put(dialog.pointSize);
        out.Put(dialog.weight);
        out.Put(dialog.italic);
        out.Put(dialog.charset);
        out.PutString(dialog.typeface);
    }
    for (const DialogControl& control : dialog.controls) {
        out.AlignToDword();
        const DialogItemTemplateExHead item{
            control.helpId, control.exStyle, control.style, control.x,
            control.y,      control.cx,      control.cy,    static_cast<DWORD>(control.id)};
        out.Put(item);
        out.PutId(control.windowClass);
        out.PutId(control.title);
        out.Put(static_cast<WORD>(control.creationData.size()));
        out.PutBytes(control.creationData);
    }
    return out.bytes;
}

inline std::vector<BYTE> Encode(const std::vector<host::res::DialogInitEntry>& entries) {
    Writer out;
    for (const host::res::DialogInitEntry& entry : entries) {
        out.Put(entry.controlId);
        out.Put(entry.message);
        out.Put(static_cast<DWORD>(entry.data.size()));
        out.PutBytes(entry.data);
    }
    out.Put(WORD{0});
    return out.bytes;
}

} // namespace resource_fuzz
