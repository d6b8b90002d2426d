#include "log_handle_table.h"

#include <algorithm>
#include <vector>

namespace velt::log {

namespace {

struct RetiredHandle {
    HANDLE caller;
    HANDLE replacement; // null: none open
};

void CloseReplacement(RetiredHandle& entry) {
    if (entry.replacement != nullptr) {
        CloseHandle(entry.replacement);
        entry.replacement = nullptr;
    }
}

// Entries live only between a rotating write and the caller's close, so the table stays tiny.
// Replacements still open when the library goes away are closed with it.
struct RetiredHandles : std::vector<RetiredHandle> {
    ~RetiredHandles() {
        for (RetiredHandle& entry : *this) {
            CloseReplacement(entry);
        }
    }
};

RetiredHandles g_retired;

RetiredHandle* Find(HANDLE caller) {
    const auto entry = std::find_if(g_retired.begin(), g_retired.end(),
                                    [caller](const RetiredHandle& e) { return e.caller == caller; });
    return entry == g_retired.end() ? nullptr : &*entry;
}

} // namespace

HANDLE ResolveCallerHandle(HANDLE caller) {
    const RetiredHandle* entry = Find(caller);
    return entry == nullptr ? caller : entry->replacement;
}

void RetireCallerHandle(HANDLE caller) {
    if (RetiredHandle* entry = Find(caller)) {
        CloseReplacement(*entry);
        return;
    }
    g_retired.push_back({caller, nullptr}); // may throw: nothing is closed yet
    CloseHandle(caller);
}

void SetReplacement(HANDLE caller, HANDLE replacement) {
    if (RetiredHandle* entry = Find(caller)) {
        CloseReplacement(*entry);
        entry->replacement = replacement;
    } else {
        CloseHandle(replacement); // not reached: the caller's handle is retired before it is replaced
    }
}

bool IsRetiredCallerHandle(HANDLE value) {
    return Find(value) != nullptr;
}

bool CloseCallerHandle(HANDLE caller) {
    if (RetiredHandle* entry = Find(caller)) {
        CloseReplacement(*entry);
        g_retired.erase(g_retired.begin() + (entry - g_retired.data()));
        return true;
    }
    return CloseHandle(caller) != FALSE;
}

void ClearHandleTable() {
    for (RetiredHandle& entry : g_retired) {
        CloseReplacement(entry);
    }
    g_retired.clear();
}

} // namespace velt::log
