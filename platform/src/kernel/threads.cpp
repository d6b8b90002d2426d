// Threads: POSIX threads with the platform's start routine, exit code, suspension at creation and a
// kept (not applied) priority. A thread handle is signalled once its thread has ended.
#include <pthread.h>
#include <unistd.h>

#include <atomic>

#include <synchapi.h>
#include "kernel/internal.h"

namespace {

constexpr size_t kMinimumStack = 256 * 1024;

std::atomic<DWORD> nextThreadId{1};
thread_local DWORD currentThreadId = 0;

// Shared by the handle and the running thread; wait lock held for every field.
struct ThreadState {
    DWORD id = 0;
    bool suspended = false;
    bool done = false;
    DWORD exitCode = STILL_ACTIVE;
    int priority = THREAD_PRIORITY_NORMAL;
};

class ThreadObject : public host::Waitable {
public:
    explicit ThreadObject(std::shared_ptr<ThreadState> state)
        : Waitable(host::HandleKind::Thread), state(std::move(state)) {}
    bool Signalled() const override { return state->done; }
    const std::shared_ptr<ThreadState> state;
};

struct StartData {
    std::shared_ptr<ThreadState> state;
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
};

void* RunThread(void* raw) {
    std::unique_ptr<StartData> data(static_cast<StartData*>(raw));
    currentThreadId = data->state->id;
    {
        std::unique_lock lock(host::WaitLock());
        host::WaitChanged().wait(lock, [&] { return !data->state->suspended; });
    }
    DWORD code = 0;
    try {
        code = data->start(data->parameter);
    } catch (...) {
        code = ERROR_GEN_FAILURE; // an exception must not end the process from a host thread
    }
    std::lock_guard guard(host::WaitLock());
    data->state->exitCode = code;
    data->state->done = true;
    host::WakeWaiters();
    return nullptr;
}

std::shared_ptr<ThreadObject> FindThread(HANDLE thread) {
    auto found = host::FindHandleOf<ThreadObject>(thread, host::HandleKind::Thread);
    if (!found) SetLastError(ERROR_INVALID_HANDLE);
    return found;
}

struct ThreadAttributes {
    pthread_attr_t attributes;
    ThreadAttributes() { pthread_attr_init(&attributes); }
    ~ThreadAttributes() { pthread_attr_destroy(&attributes); }
};

} // namespace

extern "C" {

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD flags, LPDWORD threadId) {
    return host::Guarded<HANDLE>(nullptr, [&]() -> HANDLE {
        if (!start) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        auto state = std::make_shared<ThreadState>();
        state->id = nextThreadId++;
        state->suspended = (flags & CREATE_SUSPENDED) != 0;
        auto data = std::make_unique<StartData>(StartData{state, start, parameter});

        ThreadAttributes attr;
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t stack = (std::max<size_t>(stackSize, kMinimumStack) + page - 1) / page * page;
        pthread_attr_setstacksize(&attr.attributes, stack);
        pthread_attr_setdetachstate(&attr.attributes, PTHREAD_CREATE_DETACHED);
        pthread_t thread;
        if (pthread_create(&thread, &attr.attributes, RunThread, data.get()) != 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        data.release(); // the thread owns it now
        if (threadId) *threadId = state->id;
        return host::AddHandle(std::make_shared<ThreadObject>(std::move(state)));
    });
}

DWORD ResumeThread(HANDLE thread) {
    return host::Guarded<DWORD>(static_cast<DWORD>(-1), [&]() -> DWORD {
        auto object = FindThread(thread);
        if (!object) return static_cast<DWORD>(-1);
        std::lock_guard guard(host::WaitLock());
        const DWORD previous = object->state->suspended ? 1 : 0;
        object->state->suspended = false;
        host::WakeWaiters();
        return previous;
    });
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto object = FindThread(thread);
        if (!object) return FALSE;
        std::lock_guard guard(host::WaitLock());
        object->state->priority = priority;
        return TRUE;
    });
}

int GetThreadPriority(HANDLE thread) {
    return host::Guarded<int>(THREAD_PRIORITY_ERROR_RETURN, [&]() -> int {
        auto object = FindThread(thread);
        if (!object) return THREAD_PRIORITY_ERROR_RETURN;
        std::lock_guard guard(host::WaitLock());
        return object->state->priority;
    });
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        auto object = FindThread(thread);
        if (!object) return FALSE;
        if (!exitCode) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        std::lock_guard guard(host::WaitLock());
        *exitCode = object->state->exitCode;
        return TRUE;
    });
}

DWORD GetCurrentThreadId(void) {
    if (!currentThreadId) currentThreadId = nextThreadId++;
    return currentThreadId;
}

} // extern "C"
