// The configuration interface's module-wide state and its load and unload work.
#include "ui_services.h"

WCHAR currentPrinterName[CURRENT_PRINTER_NAME_CHARS];

namespace {

CRITICAL_SECTION g_upgradeLock;
bool g_lockCreated = false;

} // namespace

void SetCurrentPrinterName(LPCWSTR name) {
    if (name == nullptr) {
        currentPrinterName[0] = 0;
        return;
    }
    lstrcpynW(currentPrinterName, name, CURRENT_PRINTER_NAME_CHARS);
}

CUSTOM_PAPER_LIST& InMemoryCustomPaperList() {
    static CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    return list;
}

void UiLibraryAttach(HMODULE module) {
    if (module != nullptr) {
        // A second reference to our own file: the library stays in memory until the process ends.
        WCHAR path[MAX_PATH + 1];
        const DWORD length = GetModuleFileNameW(module, path, MAX_PATH + 1);
        if (length > 0 && length <= MAX_PATH) {
            LoadLibraryW(path);
        }
    }
    if (!g_lockCreated) {
        InitializeCriticalSection(&g_upgradeLock);
        g_lockCreated = true;
    }
}

void UiLibraryDetach() {
    ReleaseResourceLibrary();
    if (g_lockCreated) {
        DeleteCriticalSection(&g_upgradeLock);
        g_lockCreated = false;
    }
}

LPCRITICAL_SECTION UiLock() {
    // Code that took the internals in without the load work still gets a lock.
    if (!g_lockCreated) {
        InitializeCriticalSection(&g_upgradeLock);
        g_lockCreated = true;
    }
    return &g_upgradeLock;
}
