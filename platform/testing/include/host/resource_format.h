// The standard binary resource format (.res) and the resource layouts that the host reads from it:
// string-table blocks, extended dialog templates, dialog-initialisation lists (type 240) and version
// blocks. Each parser reads only the bytes it is given, checks every length against them, and answers
// std::nullopt for truncated or malformed data. All layouts are little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <windef.h>

static_assert(std::endian::native == std::endian::little, "the resource layouts are read in place");

namespace host::res {

// A resource type or name, and a class, menu or title field of a dialog template: an ordinal
// (stored as 0xFFFF and a WORD), a string, or nothing (a single zero WORD, empty name).
struct ResourceId {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::u16string name;

    static ResourceId Ordinal(WORD value) { return ResourceId{true, value, {}}; }
    static ResourceId Named(std::u16string value) { return ResourceId{false, 0, std::move(value)}; }
    bool IsNone() const { return !isOrdinal && name.empty(); }
    friend bool operator==(const ResourceId&, const ResourceId&) = default;
};

// Header of one resource in a .res file: DataSize and HeaderSize, then TYPE and NAME, DWORD
// alignment, then this fixed tail. The data follows the header and is padded to a DWORD.
struct ResourceHeaderTail {
    DWORD DataVersion;
    WORD MemoryFlags;
    WORD LanguageId;
    DWORD Version;
    DWORD Characteristics;
};
static_assert(sizeof(ResourceHeaderTail) == 16);
static_assert(offsetof(ResourceHeaderTail, DataVersion) == 0);
static_assert(offsetof(ResourceHeaderTail, MemoryFlags) == 4);
static_assert(offsetof(ResourceHeaderTail, LanguageId) == 6);
static_assert(offsetof(ResourceHeaderTail, Version) == 8);
static_assert(offsetof(ResourceHeaderTail, Characteristics) == 12);

// One resource of a .res file; its data are bytes [dataOffset, dataOffset + dataSize) of the file.
struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    WORD language = 0;
    WORD memoryFlags = 0;
    size_t dataOffset = 0;
    DWORD dataSize = 0;
};

// Every resource of a .res file, in file order; the empty entry that opens the file is left out.
std::optional<std::vector<ResourceEntry>> ParseResourceFile(std::span<const BYTE> file);

// A string-table block (resource name id/16+1) holds 16 counted strings: a WORD length, then that
// many UTF-16 units, no terminator. Answers where string `index` (0..15) starts in the block and its
// length; an absent string has length 0.
struct StringSlot {
    size_t offset = 0;
    WORD length = 0;
};
std::optional<StringSlot> FindStringInBlock(std::span<const BYTE> block, unsigned index);

// Extended dialog template. The head is 26 bytes: WORD-aligned fields, no padding.
#pragma pack(push, 2)
struct DialogTemplateExHead {
    WORD dlgVer;
    WORD signature;
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    WORD cDlgItems;
    SHORT x;
    SHORT y;
    SHORT cx;
    SHORT cy;
};
#pragma pack(pop)
static_assert(sizeof(DialogTemplateExHead) == 26);
static_assert(offsetof(DialogTemplateExHead, dlgVer) == 0);
static_assert(offsetof(DialogTemplateExHead, signature) == 2);
static_assert(offsetof(DialogTemplateExHead, helpID) == 4);
static_assert(offsetof(DialogTemplateExHead, exStyle) == 8);
static_assert(offsetof(DialogTemplateExHead, style) == 12);
static_assert(offsetof(DialogTemplateExHead, cDlgItems) == 16);
static_assert(offsetof(DialogTemplateExHead, x) == 18);
static_assert(offsetof(DialogTemplateExHead, y) == 20);
static_assert(offsetof(DialogTemplateExHead, cx) == 22);
static_assert(offsetof(DialogTemplateExHead, cy) == 24);

// Each control starts on a DWORD boundary with this head, then class, title, and a WORD count of
// creation data bytes that follow.
struct DialogItemTemplateExHead {
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    SHORT x;
    SHORT y;
    SHORT cx;
    SHORT cy;
    DWORD id;
};
static_assert(sizeof(DialogItemTemplateExHead) == 24);
static_assert(offsetof(DialogItemTemplateExHead, helpID) == 0);
static_assert(offsetof(DialogItemTemplateExHead, exStyle) == 4);
static_assert(offsetof(DialogItemTemplateExHead, style) == 8);
static_assert(offsetof(DialogItemTemplateExHead, x) == 12);
static_assert(offsetof(DialogItemTemplateExHead, y) == 14);
static_assert(offsetof(DialogItemTemplateExHead, cx) == 16);
static_assert(offsetof(DialogItemTemplateExHead, cy) == 18);
static_assert(offsetof(DialogItemTemplateExHead, id) == 20);

// Predefined control classes, stored as ordinals in a template.
constexpr WORD BUTTON_CLASS_ATOM = 0x0080;
constexpr WORD EDIT_CLASS_ATOM = 0x0081;
constexpr WORD STATIC_CLASS_ATOM = 0x0082;
constexpr WORD LISTBOX_CLASS_ATOM = 0x0083;
constexpr WORD SCROLLBAR_CLASS_ATOM = 0x0084;
constexpr WORD COMBOBOX_CLASS_ATOM = 0x0085;

constexpr WORD DIALOGEX_SIGNATURE = 0xFFFF;
constexpr DWORD DIALOG_STYLE_SETFONT = 0x00000040; // DS_SETFONT: the template carries a font

struct DialogControl {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    SHORT x = 0, y = 0, cx = 0, cy = 0;
    INT id = 0; // -1 for a control without an id of its own
    ResourceId windowClass;
    ResourceId title;
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    SHORT x = 0, y = 0, cx = 0, cy = 0;
    ResourceId menu;
    ResourceId windowClass;
    std::u16string title;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::u16string typeface;
    std::vector<DialogControl> controls;
};

// Reads an extended dialog template (dlgVer 1, signature 0xFFFF).
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> data);

// Dialog-initialisation list (resource type 240): per entry the control id, the message, a DWORD
// length and that many data bytes, packed without alignment; a zero WORD ends the list.
struct DialogInitEntryHead {
    WORD controlId;
    WORD message;
    DWORD length;
};
static_assert(sizeof(DialogInitEntryHead) == 8);
static_assert(offsetof(DialogInitEntryHead, controlId) == 0);
static_assert(offsetof(DialogInitEntryHead, message) == 2);
static_assert(offsetof(DialogInitEntryHead, length) == 4);

struct DialogInitEntry {
    WORD controlId = 0;
    WORD message = 0;
    std::vector<BYTE> data;
};
std::optional<std::vector<DialogInitEntry>> ParseDialogInit(std::span<const BYTE> data);

// Version block: the fixed file information, every string table and the translations.
constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);
static_assert(offsetof(VS_FIXEDFILEINFO, dwSignature) == 0);
static_assert(offsetof(VS_FIXEDFILEINFO, dwStrucVersion) == 4);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileVersionMS) == 8);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileVersionLS) == 12);
static_assert(offsetof(VS_FIXEDFILEINFO, dwProductVersionMS) == 16);
static_assert(offsetof(VS_FIXEDFILEINFO, dwProductVersionLS) == 20);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileFlagsMask) == 24);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileFlags) == 28);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileOS) == 32);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileType) == 36);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileSubtype) == 40);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileDateMS) == 44);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileDateLS) == 48);

// Every block of the version tree starts with these three WORDs, then its key.
struct VersionBlockHead {
    WORD wLength;      // the whole block, children included
    WORD wValueLength; // in bytes for binary values, in WCHARs for text
    WORD wType;        // 1 text, 0 binary
};
static_assert(sizeof(VersionBlockHead) == 6);
static_assert(offsetof(VersionBlockHead, wLength) == 0);
static_assert(offsetof(VersionBlockHead, wValueLength) == 2);
static_assert(offsetof(VersionBlockHead, wType) == 4);

struct VersionStringTable {
    std::u16string languageCodePage; // e.g. "040904b0"
    std::vector<std::pair<std::u16string, std::u16string>> values;
};

struct VersionInfo {
    VS_FIXEDFILEINFO fixed{};
    std::vector<VersionStringTable> stringTables;
    std::vector<DWORD> translations; // LOWORD language, HIWORD code page

    // The value of a string field in the first string table that has it, or null.
    const std::u16string* FindString(std::u16string_view key) const;
};
std::optional<VersionInfo> ParseVersionInfo(std::span<const BYTE> data);

} // namespace host::res
