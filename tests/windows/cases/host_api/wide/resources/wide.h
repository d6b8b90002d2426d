// A library header with libc wide characters. Read by the check's tests, never compiled.
#include <cwchar>
inline size_t Length(const wchar_t* s) { return wcslen(s); }
