// Choosing the store. A new store starts the host's state afresh: the ports open through language
// monitors are closed, every open file, search, printer and registry handle is dropped, no job is left
// and the record of port bytes starts empty.
#include "host/path_map.h"
#include "host/testing.h"
#include "kernel/internal.h"
#include "portmon/internal.h"
#include "spooler/internal.h"
#include "store/internal.h"

namespace {

template <typename Open>
BOOL SwitchStore(Open open) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        // The ports open through language monitors belong to the old store's printers. They close
        // first, outside the store lock, since their monitors' status workers use the spooler.
        host::CloseMonitorPorts();
        std::lock_guard guard(host::StoreLock());
        host::DropStoreHandles();
        host::ResetJobs();
        host::ResetPortRecords();
        host::ResetProcessRights();
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
