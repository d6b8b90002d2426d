// One handle table for every object the host hands out: files, directory searches, printers,
// registry keys (and kernel objects). A handle of one kind given to another kind's function is
// simply not found there, so it fails cleanly. Handle values are never reused, so a stale handle
// can't reach a newer object.
#pragma once

#include <memory>

#include "host/types.h"

namespace host {

enum class HandleKind { File, Search, Printer, RegistryKey, Port, Event, Thread, Mutex };

class HostObject {
public:
    explicit HostObject(HandleKind kind) : kind_(kind) {}
    virtual ~HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;
    HandleKind Kind() const { return kind_; }

private:
    HandleKind kind_;
};

HANDLE AddHandle(std::shared_ptr<HostObject> object);
std::shared_ptr<HostObject> FindHandle(HANDLE handle);
// Takes the handle out of the table if it is of the given kind; the object dies with the last user.
std::shared_ptr<HostObject> RemoveHandle(HANDLE handle, HandleKind kind);
// Drops every handle that refers to stored or file state (files, searches, printers, registry keys).
void DropStoreHandles();

template <typename T>
std::shared_ptr<T> FindHandleOf(HANDLE handle, HandleKind kind) {
    auto object = FindHandle(handle);
    if (!object || object->Kind() != kind) return nullptr;
    return std::static_pointer_cast<T>(object);
}

} // namespace host
