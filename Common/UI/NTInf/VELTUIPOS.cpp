// The configuration interface's module entry point: the library's load and unload work.
#include "ui_entry_points.h"
#include "ui_services.h"

UI_ENTRY_POINT BOOL WINAPI DllEntryPoint(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        UiLibraryAttach(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        UiLibraryDetach();
    }
    return TRUE;
}
