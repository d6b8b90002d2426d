// Reading extended dialog templates and the dialog-initialisation lists that go with them.
#include "host/resource_format.h"
#include "resources/internal.h"

namespace host::res {

namespace {

bool ReadControl(ResourceReader& reader, DialogControl& control) {
    DialogItemTemplateExHead head{};
    WORD extraCount = 0;
    std::span<const BYTE> extra;
    if (!reader.AlignToDword() || !reader.Read(head) || !reader.ReadId(control.windowClass) ||
        !reader.ReadId(control.title) || !reader.Read(extraCount) || !reader.ReadBytes(extraCount, extra)) {
        return false;
    }
    control.helpId = head.helpID;
    control.exStyle = head.exStyle;
    control.style = head.style;
    control.x = head.x;
    control.y = head.y;
    control.cx = head.cx;
    control.cy = head.cy;
    control.id = static_cast<INT>(head.id);
    control.creationData.assign(extra.begin(), extra.end());
    return true;
}

} // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> data) {
    ResourceReader reader(data);
    DialogTemplateExHead head{};
    if (!reader.Read(head) || head.dlgVer != 1 || head.signature != DIALOGEX_SIGNATURE) {
        return std::nullopt;
    }
    DialogTemplate dialog;
    dialog.helpId = head.helpID;
    dialog.exStyle = head.exStyle;
    dialog.style = head.style;
    dialog.x = head.x;
    dialog.y = head.y;
    dialog.cx = head.cx;
    dialog.cy = head.cy;
    if (!reader.ReadId(dialog.menu) || !reader.ReadId(dialog.windowClass) || !reader.ReadString(dialog.title)) {
        return std::nullopt;
    }
    if (head.style & DIALOG_STYLE_SETFONT) {
        dialog.hasFont = true;
        if (!reader.Read(dialog.pointSize) || !reader.Read(dialog.weight) || !reader.Read(dialog.italic) ||
            !reader.Read(dialog.charset) || !reader.ReadString(dialog.typeface)) {
            return std::nullopt;
        }
    }
    // Each control needs at least its head, so a count larger than the bytes allow is refused
    // before anything is reserved for it.
    if (head.cDlgItems > reader.Remaining() / sizeof(DialogItemTemplateExHead)) {
        return std::nullopt;
    }
    dialog.controls.resize(head.cDlgItems);
    for (DialogControl& control : dialog.controls) {
        if (!ReadControl(reader, control)) {
            return std::nullopt;
        }
    }
    return dialog;
}

std::optional<std::vector<DialogInitEntry>> ParseDialogInit(std::span<const BYTE> data) {
    std::vector<DialogInitEntry> entries;
    ResourceReader reader(data);
    for (;;) {
        WORD controlId = 0;
        if (!reader.Read(controlId)) {
            return std::nullopt; // the closing zero is missing
        }
        if (controlId == 0) {
            return entries;
        }
        DialogInitEntry entry;
        entry.controlId = controlId;
        DWORD length = 0;
        std::span<const BYTE> bytes;
        if (!reader.Read(entry.message) || !reader.Read(length) || !reader.ReadBytes(length, bytes)) {
            return std::nullopt;
        }
        entry.data.assign(bytes.begin(), bytes.end());
        entries.push_back(std::move(entry));
    }
}

} // namespace host::res
