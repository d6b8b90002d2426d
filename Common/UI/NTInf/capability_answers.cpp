// What the printer can do, index by index. Sizes are in tenths of a millimetre.
#include <cstring>

#include "device_capabilities.h"

namespace {

// Width 58 mm by length 50 mm, and width 80 mm by length 272 mm: the low word is the width.
constexpr DWORD kMinExtent = MAKELONG(580, 500);
constexpr DWORD kMaxExtent = MAKELONG(800, 2720);
static_assert(kMinExtent == 0x01F40244 && kMaxExtent == 0x0AA00320);

constexpr DWORD kCopies = DRIVER_MAX_COPIES;
constexpr DWORD kLandscapeRotation = 90;
constexpr size_t kClearedNameChars = 32;

void WritePaperIds(PVOID output) {
    auto* ids = static_cast<WORD*>(output);
    for (WORD i = 0; i < USER_PAPER_COUNT; ++i) {
        ids[i] = static_cast<WORD>(USER_PAPER_FIRST_ID + i);
    }
}

void WritePaperSizes(PVOID output, const CUSTOM_PAPER_LIST& papers) {
    auto* points = static_cast<POINT*>(output);
    for (size_t i = 0; i < USER_PAPER_COUNT; ++i) {
        points[i].x = static_cast<LONG>(LOWORD(papers.entries[i].width)) * 10;
        points[i].y = static_cast<LONG>(LOWORD(papers.entries[i].length)) * 10;
    }
}

// Each name into its slot of 64 characters: the first 32 cleared, then the name (at most 21
// characters and its terminator, however the table's name field was filled).
void WritePaperNames(PVOID output, const CUSTOM_PAPER_LIST& papers) {
    auto* slots = static_cast<WCHAR*>(output);
    for (size_t i = 0; i < USER_PAPER_COUNT; ++i) {
        WCHAR* slot = slots + i * PAPER_NAME_SLOT_CHARS;
        std::memset(slot, 0, kClearedNameChars * sizeof(WCHAR));
        const WCHAR* name = papers.entries[i].name;
        for (size_t c = 0; c < USER_PAPER_NAME_CHARS - 1 && name[c] != 0; ++c) {
            slot[c] = name[c];
        }
    }
}

void WriteResolution(PVOID output) {
    auto* pair = static_cast<LONG*>(output);
    pair[0] = DRIVER_PRINT_QUALITY;
    pair[1] = DRIVER_PRINT_QUALITY;
}

} // namespace

DWORD AnswerCapability(WORD index, const DRIVER_DEVMODE& merged, const CUSTOM_PAPER_LIST& papers, PVOID output) {
    switch (index) {
    case DC_FIELDS: return merged.dmPublic.dmFields;
    case DC_PAPERS:
        if (output != nullptr) WritePaperIds(output);
        return USER_PAPER_COUNT;
    case DC_PAPERSIZE:
        if (output != nullptr) WritePaperSizes(output, papers);
        return USER_PAPER_COUNT;
    case DC_MINEXTENT: return kMinExtent;
    case DC_MAXEXTENT: return kMaxExtent;
    case DC_DUPLEX: return 1;
    case DC_SIZE: return sizeof(DEVMODEW);
    case DC_EXTRA: return DRIVER_DEVMODE_PRIVATE_BYTES;
    case DC_VERSION: return DM_SPECVERSION;
    case DC_DRIVER: return DRIVER_DEVMODE_VERSION;
    case DC_ENUMRESOLUTIONS:
        if (output != nullptr) WriteResolution(output);
        return 1;
    case DC_FILEDEPENDENCIES:
        if (output != nullptr) *static_cast<BYTE*>(output) = 0;
        return 0;
    case DC_TRUETYPE: return DCTT_DOWNLOAD | DCTT_SUBDEV;
    case DC_PAPERNAMES:
        if (output != nullptr) WritePaperNames(output, papers);
        return USER_PAPER_COUNT;
    case DC_ORIENTATION: return kLandscapeRotation;
    case DC_COPIES: return kCopies;
    case DC_COLORDEVICE: return 1;
    default: return GDI_ERROR;
    }
}
