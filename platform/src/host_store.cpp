// Choosing the store. A new store starts the host's state afresh: every open file, search, printer
// and registry handle is dropped and no job is left.
#include "guard.h"
#include "handles.h"
#include "host/path_map.h"
#include "host/testing.h"
#include "spooler_jobs.h"
#include "store.h"

namespace {

template <typename Open>
BOOL SwitchStore(Open open) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard guard(host::StoreLock());
        host::DropStoreHandles();
        host::ResetJobs();
        open();
        return TRUE;
    });
}

} // namespace

extern "C" {

BOOL HostUseStore(const char* folderUtf8) {
    const std::string folder = folderUtf8 && *folderUtf8 ? std::string(folderUtf8) : HostHomeFolder();
    return SwitchStore([&] { host::OpenPersistentStore(folder); });
}

void HostUseTemporaryStore(void) {
    SwitchStore([] { host::OpenTemporaryStore(); });
}

} // extern "C"
