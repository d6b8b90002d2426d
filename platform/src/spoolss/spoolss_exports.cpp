// The spooler's identity switch as a printer interface library sees it: RevertToPrinterSelf makes the
// calling thread the spooler's own and answers a token of the client it served; ImpersonatePrinterClient
// takes that token back (and closes it). On the host every thread already runs as the one user, so the
// tokens only say whose identity a thread holds.
#include <atomic>

#include "platform.h"

namespace {

std::atomic<ULONG_PTR> g_nextToken{0x5350}; // never 0: a 0 token means "no client"
thread_local ULONG_PTR t_clientToken = 0;

} // namespace

extern "C" __attribute__((visibility("default"))) HANDLE WINAPI RevertToPrinterSelf(void) {
    if (t_clientToken == 0) t_clientToken = g_nextToken.fetch_add(1);
    return reinterpret_cast<HANDLE>(t_clientToken);
}

extern "C" __attribute__((visibility("default"))) BOOL WINAPI ImpersonatePrinterClient(HANDLE token) {
    if (token == nullptr || reinterpret_cast<ULONG_PTR>(token) != t_clientToken) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    t_clientToken = 0;
    return TRUE;
}
