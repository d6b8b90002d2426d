// VELTrc carries only resources; this entry point is its one piece of code and it exports nothing else.
#include "platform.h"

extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE, DWORD, LPVOID) { return TRUE; }
