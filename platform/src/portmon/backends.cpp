// Port backends registered by name prefix (HostRegisterPortBackend): the tables that serve those ports.
#include <mutex>
#include <string>
#include <vector>

#include "host/testing.h"
#include "kernel/internal.h"
#include "portmon/internal.h"

namespace host {

namespace {

struct Backend {
    std::u16string prefixFold;
    const MONITOR* table;
};

struct Backends {
    std::mutex lock;
    std::vector<Backend> list;
};

Backends& TheBackends() {
    static auto* backends = new Backends;
    return *backends;
}

} // namespace

const MONITOR* FindPortBackend(std::u16string_view portName) {
    const std::u16string name = FoldCase(portName);
    Backends& b = TheBackends();
    std::lock_guard guard(b.lock);
    const Backend* best = nullptr;
    for (const auto& backend : b.list)
        if (name.compare(0, backend.prefixFold.size(), backend.prefixFold) == 0 &&
            (!best || backend.prefixFold.size() > best->prefixFold.size()))
            best = &backend;
    return best ? best->table : nullptr;
}

} // namespace host

extern "C" BOOL HostRegisterPortBackend(LPCWSTR prefix, const MONITOR* table) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!prefix || !*prefix) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        const std::u16string fold = host::FoldCase(prefix);
        host::Backends& b = host::TheBackends();
        std::lock_guard guard(b.lock);
        std::erase_if(b.list, [&](const host::Backend& backend) { return backend.prefixFold == fold; });
        if (table) b.list.push_back(host::Backend{fold, table});
        return TRUE;
    });
}
