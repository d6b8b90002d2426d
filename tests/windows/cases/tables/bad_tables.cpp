// A DLL that breaks both table rules, for the table check's own test: exports left decorated (a stdcall
// name with its argument bytes, linked without --kill-at, and a C++ name) and an import from outside
// the platform's system DLLs (the sockets library).
#include <winsock2.h>

extern "C" __declspec(dllexport) int __stdcall Decorated(int value) { return static_cast<int>(htonl(value)); }
__declspec(dllexport) int Mangled(int value) { return value; }
