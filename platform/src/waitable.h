// Objects a thread can wait on (events and threads). Their state lives under one lock, and every
// change of state, and every move of the test clock, wakes all waiters to look again.
#pragma once

#include <condition_variable>
#include <mutex>

#include "handles.h"

namespace host {

std::mutex& WaitLock();
std::condition_variable& WaitChanged();
// Wait lock held: after a change that may release waiters.
void WakeWaiters();

class Waitable : public HostObject {
public:
    using HostObject::HostObject;
    // Wait lock held.
    virtual bool Signalled() const = 0;
    virtual void Acquire() {} // what a satisfied wait does to the object (an auto-reset event resets)
};

} // namespace host
