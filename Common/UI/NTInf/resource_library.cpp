// The resource library VELTrc, loaded by its full path while it has users, and its texts.
#include "ui_services.h"

namespace {

// A text buffer of this many characters, the terminator included.
constexpr int kTextChars = 1000;

HMODULE g_resources = nullptr;
WORD g_users = 0;
WCHAR g_text[kTextChars];

const WCHAR kDriverFolder[] = TEXT("\\spool\\drivers\\w32x86\\3\\");
const WCHAR kResourceFile[] = TEXT("VELTrc.dll");

// The system directory, then the driver folder, then the file; false when it doesn't fit.
bool ResourceLibraryPath(WCHAR (&path)[MAX_PATH]) {
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    if (length + lstrlenW(kDriverFolder) + lstrlenW(kResourceFile) >= MAX_PATH) {
        return false;
    }
    lstrcatW(path, kDriverFolder);
    lstrcatW(path, kResourceFile);
    return true;
}

} // namespace

void AcquireResourceLibrary() {
    if (g_resources == nullptr) {
        WCHAR path[MAX_PATH];
        if (!ResourceLibraryPath(path)) {
            return;
        }
        g_resources = LoadLibraryW(path);
        if (g_resources == nullptr) {
            return; // a missing library is not reported
        }
    }
    // The 16-bit count never wraps to 0 while the library is in use.
    if (g_users < 0xFFFF) {
        ++g_users;
    }
}

void ReleaseResourceLibrary() {
    if (g_users == 0) {
        return;
    }
    --g_users;
    if (g_users == 0 && g_resources != nullptr) {
        FreeLibrary(g_resources);
        g_resources = nullptr;
    }
}

HMODULE ResourceLibrary() { return g_resources; }

WORD ResourceLibraryUsers() { return g_users; }

LPCWSTR LoadUiText(UINT id) {
    g_text[0] = 0;
    if (g_resources != nullptr && LoadStringW(g_resources, id, g_text, kTextChars) <= 0) {
        g_text[0] = 0;
    }
    g_text[kTextChars - 1] = 0;
    return g_text;
}
