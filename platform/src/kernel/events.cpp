// Events, unnamed or shared by name.
#include <map>
#include <string>

#include <synchapi.h>
#include "kernel/internal.h"

namespace {

struct EventState {
    bool manualReset;
    bool signalled;
};

// The handle object; handles to one named event share its state.
class EventObject : public host::Waitable {
public:
    explicit EventObject(std::shared_ptr<EventState> state)
        : Waitable(host::HandleKind::Event), state(std::move(state)) {}
    bool Signalled() const override { return state->signalled; }
    void Acquire() override {
        if (!state->manualReset) state->signalled = false;
    }
    const std::shared_ptr<EventState> state;
};

// Named events by folded name; wait lock held.
std::map<std::u16string, std::weak_ptr<EventState>>& NamedEvents() {
    static auto* named = new std::map<std::u16string, std::weak_ptr<EventState>>;
    return *named;
}

std::shared_ptr<EventObject> FindEvent(HANDLE event) {
    auto found = host::FindHandleOf<EventObject>(event, host::HandleKind::Event);
    if (!found) SetLastError(ERROR_INVALID_HANDLE);
    return found;
}

} // namespace

extern "C" {

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name) {
    return host::Guarded<HANDLE>(nullptr, [&]() -> HANDLE {
        std::shared_ptr<EventState> state;
        bool existed = false;
        {
            std::lock_guard guard(host::WaitLock());
            if (name && *name) {
                auto& slot = NamedEvents()[host::FoldCase(name)];
                state = slot.lock();
                existed = state != nullptr;
                if (!state)
                    slot = state = std::make_shared<EventState>(EventState{manualReset != 0, initialState != 0});
            } else {
                state = std::make_shared<EventState>(EventState{manualReset != 0, initialState != 0});
            }
        }
        HANDLE handle = host::AddHandle(std::make_shared<EventObject>(std::move(state)));
        SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
        return handle;
    });
}

BOOL SetEvent(HANDLE event) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto object = FindEvent(event);
        if (!object) return FALSE;
        std::lock_guard guard(host::WaitLock());
        object->state->signalled = true;
        host::WakeWaiters();
        return TRUE;
    });
}

BOOL ResetEvent(HANDLE event) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto object = FindEvent(event);
        if (!object) return FALSE;
        std::lock_guard guard(host::WaitLock());
        object->state->signalled = false;
        return TRUE;
    });
}

} // extern "C"
