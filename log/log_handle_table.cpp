#include "log_handle_table.h"

#include <cstddef>
#include <new>

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

// Entries live only between a rotating write and the caller's close, so the table stays tiny. Its room
// comes from the C++ heap rather than the process heap, whose blocks and failures belong to the callers,
// and a table that cannot grow says so. Replacements still open when the library goes away are closed
// with it.
class RetiredHandles {
public:
    constexpr RetiredHandles() = default;
    RetiredHandles(const RetiredHandles&) = delete;
    RetiredHandles& operator=(const RetiredHandles&) = delete;
    ~RetiredHandles() {
        Clear();
        delete[] entries_;
    }

    RetiredHandle* Find(HANDLE caller) {
        for (size_t i = 0; i < count_; ++i) {
            if (entries_[i].caller == caller) {
                return &entries_[i];
            }
        }
        return nullptr;
    }

    bool Add(RetiredHandle entry) {
        if (count_ == capacity_ && !Grow()) {
            return false;
        }
        entries_[count_++] = entry;
        return true;
    }

    // Forgets an entry the table holds; the last one takes its place (the order means nothing).
    void Remove(RetiredHandle* entry) { *entry = entries_[--count_]; }

    void Clear() {
        for (size_t i = 0; i < count_; ++i) {
            CloseReplacement(entries_[i]);
        }
        count_ = 0;
    }

private:
    bool Grow() {
        const size_t capacity = capacity_ == 0 ? 4 : capacity_ * 2;
        RetiredHandle* entries = new (std::nothrow) RetiredHandle[capacity];
        if (entries == nullptr) {
            return false;
        }
        for (size_t i = 0; i < count_; ++i) {
            entries[i] = entries_[i];
        }
        delete[] entries_;
        entries_ = entries;
        capacity_ = capacity;
        return true;
    }

    RetiredHandle* entries_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

RetiredHandles g_retired;

} // namespace

HANDLE ResolveCallerHandle(HANDLE caller) {
    const RetiredHandle* entry = g_retired.Find(caller);
    return entry == nullptr ? caller : entry->replacement;
}

bool RetireCallerHandle(HANDLE caller) {
    if (RetiredHandle* entry = g_retired.Find(caller)) {
        CloseReplacement(*entry);
        return true;
    }
    if (!g_retired.Add({caller, nullptr})) {
        return false; // nothing is closed yet
    }
    CloseHandle(caller);
    return true;
}

void SetReplacement(HANDLE caller, HANDLE replacement) {
    if (RetiredHandle* entry = g_retired.Find(caller)) {
        CloseReplacement(*entry);
        entry->replacement = replacement;
    } else {
        CloseHandle(replacement); // not reached: the caller's handle is retired before it is replaced
    }
}

bool IsRetiredCallerHandle(HANDLE value) { return g_retired.Find(value) != nullptr; }

bool CloseCallerHandle(HANDLE caller) {
    if (RetiredHandle* entry = g_retired.Find(caller)) {
        CloseReplacement(*entry);
        g_retired.Remove(entry);
        return true;
    }
    return CloseHandle(caller) != FALSE;
}

void ClearHandleTable() { g_retired.Clear(); }

} // namespace velt::log
