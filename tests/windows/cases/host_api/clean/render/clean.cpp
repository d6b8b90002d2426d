// A library source inside the fence: WCHAR, LPCWSTR and TEXT() only; prose about char16 types or a
// HostObject is no breach. The check's tests read this file; it is never compiled.
#include "platform.h"

LPCWSTR Name() { return TEXT("VELT"); }
