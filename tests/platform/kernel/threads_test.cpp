// Events, waits, threads and critical sections; timed waits on the test clock end only when the
// test time has passed their deadline.
#include <atomic>
#include <chrono>
#include <thread>

#include "host_fixture.h"

namespace {

using ThreadsTest = HostTest;

struct WaitJob {
    HANDLE event;
    DWORD timeout;
    std::atomic<DWORD> result{0xDEAD};
};

DWORD WINAPI WaitOnEvent(LPVOID parameter) {
    auto* job = static_cast<WaitJob*>(parameter);
    job->result = WaitForSingleObject(job->event, job->timeout);
    return 7;
}

// Moves the test clock in steps until the thread has ended (however late it starts waiting).
void AdvanceUntilDone(HANDLE thread, DWORD step) {
    while (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
        HostAdvanceClock(step);
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // let the waiter run
    }
}

TEST_F(ThreadsTest, ATimedWaitEndsOnlyWhenTheTestClockPassesItsDeadline) {
    WaitJob job;
    job.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    job.timeout = 60000;
    const DWORD before = GetTickCount();
    HANDLE thread = CreateThread(nullptr, 16384, WaitOnEvent, &job, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    AdvanceUntilDone(thread, 1000);
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(job.result.load(), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_GE(GetTickCount() - before, 60000u);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    CloseHandle(thread);
    CloseHandle(job.event);
}

TEST_F(ThreadsTest, ASignalBeforeTheDeadlineWins) {
    WaitJob job;
    job.event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    job.timeout = 30000;
    HANDLE thread = CreateThread(nullptr, 0, WaitOnEvent, &job, 0, nullptr);
    HostAdvanceClock(29999); // however early or late the thread began, its deadline is still ahead
    ASSERT_TRUE(SetEvent(job.event));
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(job.result.load(), static_cast<DWORD>(WAIT_OBJECT_0));
    // The auto-reset event released its one waiter and is clear again.
    EXPECT_EQ(WaitForSingleObject(job.event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(thread);
    CloseHandle(job.event);
}

TEST_F(ThreadsTest, ManualEventsStaySignalledAndWaitAnyTellsWhich) {
    HANDLE a = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE b = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    HANDLE both[2] = {a, b};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), static_cast<DWORD>(WAIT_OBJECT_0 + 1));
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(a);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(a, 0), static_cast<DWORD>(WAIT_OBJECT_0)); // still set
    ResetEvent(a);
    EXPECT_EQ(WaitForSingleObject(a, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(a);
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(b);
}

TEST_F(ThreadsTest, NamedEventsAreShared) {
    HANDLE first = CreateEventW(nullptr, TRUE, FALSE, u"VELTport1");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE second = CreateEventW(nullptr, TRUE, FALSE, u"veltPORT1");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    SetEvent(first);
    EXPECT_EQ(WaitForSingleObject(second, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(first);
    CloseHandle(second);
}

DWORD WINAPI Nothing(LPVOID) { return 3; }

TEST_F(ThreadsTest, SuspendedThreadsStartOnResumeAndKeepTheirPriority) {
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 16384, Nothing, nullptr, CREATE_SUSPENDED, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_LOWEST);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 3u);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_FALSE(CloseHandle(thread));
}

struct Counter {
    CRITICAL_SECTION section;
    long value = 0;
};

DWORD WINAPI CountUnderLock(LPVOID parameter) {
    auto* counter = static_cast<Counter*>(parameter);
    for (int i = 0; i < 20000; ++i) {
        EnterCriticalSection(&counter->section);
        EnterCriticalSection(&counter->section); // recursion is allowed
        ++counter->value;
        LeaveCriticalSection(&counter->section);
        LeaveCriticalSection(&counter->section);
    }
    return 0;
}

TEST_F(ThreadsTest, CriticalSectionsExcludeOtherThreads) {
    Counter counter;
    InitializeCriticalSection(&counter.section);
    HANDLE threads[2] = {CreateThread(nullptr, 0, CountUnderLock, &counter, 0, nullptr),
                         CreateThread(nullptr, 0, CountUnderLock, &counter, 0, nullptr)};
    ASSERT_EQ(WaitForMultipleObjects(2, threads, TRUE, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(counter.value, 40000);
    EXPECT_TRUE(TryEnterCriticalSection(&counter.section));
    LeaveCriticalSection(&counter.section);
    DeleteCriticalSection(&counter.section);
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
}

TEST_F(ThreadsTest, InterlockedOperationsReturnWhatThePlatformReturns) {
    LONG value = 5;
    EXPECT_EQ(InterlockedIncrement(&value), 6);
    EXPECT_EQ(InterlockedDecrement(&value), 5);
    EXPECT_EQ(InterlockedExchange(&value, 9), 5);
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 8), 9); // no match: unchanged
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 9), 9);
    EXPECT_EQ(value, 1);
}

} // namespace
