// Reading, writing and choosing the user-defined paper sizes.
#include <climits>
#include <cstring>

#include "custom_paper_list.h"
#include "platform_owners.h"

namespace {

const WCHAR kValueName[] = TEXT("CustomPaperList");

void SetEntry(USER_PAPER_ENTRY& entry, LPCWSTR name) {
    std::memset(&entry, 0, sizeof(entry));
    for (size_t i = 0; i < USER_PAPER_NAME_CHARS - 1 && name[i] != 0; ++i) {
        entry.name[i] = name[i];
    }
    entry.width = 58;
    entry.length = 50;
}

// Millimetres (low 16 bits) to tenths, when the result fits a signed 16-bit field.
bool ToTenths(DWORD millimetres, SHORT* tenths) {
    const DWORD value = LOWORD(millimetres) * 10UL;
    if (value > SHRT_MAX) {
        return false;
    }
    *tenths = static_cast<SHORT>(value);
    return true;
}

} // namespace

CUSTOM_PAPER_LIST BuiltInCustomPaperList() {
    CUSTOM_PAPER_LIST list{};
    SetEntry(list.entries[0], TEXT("User Defined Size 1"));
    SetEntry(list.entries[1], TEXT("User Defined Size 2"));
    SetEntry(list.entries[2], TEXT("User Defined Size 3"));
    SetEntry(list.entries[3], TEXT("User Defined Size 4"));
    SetEntry(list.entries[4], TEXT("User Defined Size 5"));
    return list;
}

BOOL ReadCustomPaperList(LPCWSTR printerName, CUSTOM_PAPER_LIST* list) {
    if (list == nullptr) {
        return FALSE;
    }
    const velt::PrinterHandle printer = velt::OpenPrinterFor(printerName, PRINTER_ACCESS_USE);
    if (!printer) {
        return FALSE;
    }
    // Read into a copy of our own, so a failed or short read never leaves a half-replaced table.
    CUSTOM_PAPER_LIST stored{};
    WCHAR valueName[sizeof(kValueName) / sizeof(WCHAR)];
    std::memcpy(valueName, kValueName, sizeof(kValueName));
    DWORD type = 0;
    DWORD needed = 0;
    const DWORD result =
        GetPrinterDataW(printer.get(), valueName, &type, reinterpret_cast<LPBYTE>(&stored), sizeof(stored), &needed);
    if (result != ERROR_SUCCESS || needed != sizeof(stored)) {
        return FALSE;
    }
    // A stored name may fill its field; the table's readers rely on a terminator.
    for (USER_PAPER_ENTRY& entry : stored.entries) {
        entry.name[USER_PAPER_NAME_CHARS - 1] = 0;
    }
    *list = stored;
    return TRUE;
}

BOOL WriteCustomPaperList(LPCWSTR printerName, const CUSTOM_PAPER_LIST* list) {
    if (list == nullptr) {
        return FALSE;
    }
    const velt::PrinterHandle printer = velt::OpenPrinterFor(printerName, PRINTER_ALL_ACCESS);
    if (!printer) {
        return FALSE;
    }
    CUSTOM_PAPER_LIST copy = *list; // the platform call takes a writable buffer
    WCHAR valueName[sizeof(kValueName) / sizeof(WCHAR)];
    std::memcpy(valueName, kValueName, sizeof(kValueName));
    const DWORD result =
        SetPrinterDataW(printer.get(), valueName, REG_BINARY, reinterpret_cast<LPBYTE>(&copy), sizeof(copy));
    if (result != ERROR_SUCCESS) {
        SetLastError(result); // the caller learns why, as from a failed open
        return FALSE;
    }
    return TRUE;
}

BOOL UserPaperTenths(const USER_PAPER_ENTRY* entry, SHORT* widthTenths, SHORT* lengthTenths) {
    if (entry == nullptr || widthTenths == nullptr || lengthTenths == nullptr) {
        return FALSE;
    }
    SHORT width = 0;
    SHORT length = 0;
    if (!ToTenths(entry->width, &width) || !ToTenths(entry->length, &length)) {
        return FALSE;
    }
    *widthTenths = width;
    *lengthTenths = length;
    return TRUE;
}

BOOL ChooseUserPaperSize(DRIVER_DEVMODE* record, const CUSTOM_PAPER_LIST* list, DWORD index) {
    if (record == nullptr || list == nullptr || index >= USER_PAPER_COUNT) {
        return FALSE;
    }
    SHORT width = 0;
    SHORT length = 0;
    if (!UserPaperTenths(&list->entries[index], &width, &length)) {
        return FALSE;
    }
    DEVMODEW& pub = record->dmPublic;
    pub.dmPaperSize = static_cast<SHORT>(USER_PAPER_FIRST_ID + index);
    pub.dmPaperLength = length;
    pub.dmPaperWidth = width;
    record->dmUserSize = index;
    pub.dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
    return TRUE;
}
