// The handle table.
#include "kernel/internal.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace host {

namespace {

// Handle values start well above small integers and step by 4 like the platform's.
constexpr uintptr_t kFirstHandle = 0x10000;

struct Table {
    std::mutex lock;
    uintptr_t next = kFirstHandle;
    std::unordered_map<uintptr_t, std::shared_ptr<HostObject>> objects;
};

Table& TheTable() {
    static Table* table = new Table; // never destroyed: handles may be closed during exit
    return *table;
}

} // namespace

HANDLE AddHandle(std::shared_ptr<HostObject> object) {
    Table& t = TheTable();
    std::lock_guard guard(t.lock);
    const uintptr_t value = t.next;
    t.next += 4;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<HostObject> FindHandle(HANDLE handle) {
    Table& t = TheTable();
    std::lock_guard guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

std::shared_ptr<HostObject> RemoveHandle(HANDLE handle, HandleKind kind) {
    Table& t = TheTable();
    std::lock_guard guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.objects.end() || it->second->Kind() != kind) return nullptr;
    auto object = std::move(it->second);
    t.objects.erase(it);
    return object;
}

void DropStoreHandles() {
    std::vector<std::shared_ptr<HostObject>> dropped; // destroyed after the lock is released
    Table& t = TheTable();
    {
        std::lock_guard guard(t.lock);
        for (auto it = t.objects.begin(); it != t.objects.end();) {
            const HandleKind kind = it->second->Kind();
            if (kind == HandleKind::File || kind == HandleKind::Search || kind == HandleKind::Printer ||
                kind == HandleKind::RegistryKey) {
                dropped.push_back(std::move(it->second));
                it = t.objects.erase(it);
            } else {
                ++it;
            }
        }
    }
}

} // namespace host
