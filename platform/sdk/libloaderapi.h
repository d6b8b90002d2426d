// Module loading and resources. A platform path of a driver module (the system directory followed by
// "\spool\drivers\w32x86\3\VELTrc.dll", or a bare "VELT") maps to the built shared object
// (VELTrc.so, VELT.so) in the host's module folder.
#pragma once

#include <windef.h>

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// LoadLibraryW: the module's entry point refused DLL_PROCESS_ATTACH.
#define ERROR_DLL_INIT_FAILED 1114L

#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_VERSION MAKEINTRESOURCEW(16)
#define RT_DLGINIT MAKEINTRESOURCEW(240)

extern "C" {

HMODULE LoadLibraryW(LPCWSTR path);
BOOL FreeLibrary(HMODULE module);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR path, DWORD size);
UINT GetSystemDirectoryW(LPWSTR buffer, UINT size);
// The module hears no DLL_THREAD_ATTACH or DLL_THREAD_DETACH (the host sends none to any module).
BOOL DisableThreadLibraryCalls(HMODULE module);

// Resources in the standard binary resource format, embedded in a module.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
int LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int bufferMax);

} // extern "C"
