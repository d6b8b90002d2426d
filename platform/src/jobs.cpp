// Jobs (first slice: documents are not yet spooled).
#include "host/kernel.h"
#include "spooler_jobs.h"

namespace host {

void EndHandleDocument(PrinterHandle&) {}
void ForgetPrinterJobs(int64_t) {}
void ResetJobs() {}

} // namespace host

extern "C" {

DWORD StartDocPrinterW(HANDLE, DWORD, LPBYTE) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return 0;
}
BOOL StartPagePrinter(HANDLE) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
BOOL WritePrinter(HANDLE, LPVOID, DWORD, LPDWORD written) {
    if (written) *written = 0;
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return FALSE;
}
BOOL EndPagePrinter(HANDLE) {
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return FALSE;
}
BOOL EndDocPrinter(HANDLE) {
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return FALSE;
}
BOOL AbortPrinter(HANDLE) {
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return FALSE;
}
BOOL GetPrinterW(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
BOOL SetPrinterW(HANDLE, DWORD, LPBYTE, DWORD) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

} // extern "C"
