// WaitForSingleObject and WaitForMultipleObjects over events and threads, with time-outs on the host
// clock (real or test).
#include <chrono>
#include <vector>

#include <synchapi.h>
#include "kernel/internal.h"

namespace host {

std::mutex& WaitLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::condition_variable& WaitChanged() {
    static auto* changed = new std::condition_variable;
    return *changed;
}

void WakeWaiters() { WaitChanged().notify_all(); }

namespace {

// The test clock moved: waiters with a time-out look at it again.
void OnClockAdvanced() {
    std::lock_guard guard(WaitLock());
    WakeWaiters();
}

[[maybe_unused]] const bool listening = (AddClockListener(OnClockAdvanced), true);

DWORD Wait(const HANDLE* handles, DWORD count, bool waitAll, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<Waitable>> objects;
    for (DWORD i = 0; i < count; ++i) {
        auto object = FindHandle(handles[i]);
        if (!object || (object->Kind() != HandleKind::Event && object->Kind() != HandleKind::Thread)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(std::static_pointer_cast<Waitable>(object));
    }
    const uint64_t start = TickMs();
    const auto realDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock lock(WaitLock());
    for (;;) {
        if (waitAll) {
            bool all = true;
            for (const auto& o : objects) all = all && o->Signalled();
            if (all) {
                for (const auto& o : objects) o->Acquire();
                return WAIT_OBJECT_0;
            }
        } else {
            for (DWORD i = 0; i < count; ++i) {
                if (objects[i]->Signalled()) {
                    objects[i]->Acquire();
                    return WAIT_OBJECT_0 + i;
                }
            }
        }
        if (milliseconds == 0) return WAIT_TIMEOUT;
        if (milliseconds == INFINITE) {
            WaitChanged().wait(lock);
        } else if (TestClockActive()) {
            if (TickMs() - start >= milliseconds) return WAIT_TIMEOUT;
            WaitChanged().wait(lock); // woken by signals and by the test clock moving
        } else {
            if (WaitChanged().wait_until(lock, realDeadline) == std::cv_status::timeout &&
                std::chrono::steady_clock::now() >= realDeadline)
                return WAIT_TIMEOUT;
        }
    }
}

} // namespace

} // namespace host

extern "C" {

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    return host::Guarded<DWORD>(WAIT_FAILED, [&] { return host::Wait(&object, 1, false, milliseconds); });
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds) {
    return host::Guarded<DWORD>(WAIT_FAILED, [&] { return host::Wait(objects, count, waitAll, milliseconds); });
}

} // extern "C"
