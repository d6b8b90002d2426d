// The module's entry point: says on the debugger when the driver is attached to or detached from a
// process ("DETTACH" is the text the system has always shown).
#include "driver_entry_points.h"

DRVAPI_EXPORT BOOL WINAPI DllEntryPoint(HANDLE /*module*/, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        OutputDebugStringW(TEXT("INSIDE PROCESS ATTACH"));
    } else if (reason == DLL_PROCESS_DETACH) {
        OutputDebugStringW(TEXT("INSIDE PROCESS DETTACH"));
    }
    return TRUE;
}
