// Local time, tick count and Sleep. The test clock keeps a local date and time (no time zone) and a
// tick count; HostAdvanceClock and Sleep move both at once, so waits of minutes take no time.
#include "kernel/internal.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

#include <winbase.h>
#include "host/testing.h"

namespace host {

namespace {

struct TestClock {
    std::mutex lock;
    bool active = false;
    int64_t localMs = 0; // local time as milliseconds since 1970-01-01 00:00 (no time zone)
    uint64_t tickMs = 0;
};

TestClock& Clock() {
    static auto* clock = new TestClock;
    return *clock;
}

uint64_t RealTickMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec) / 1000000;
}

int64_t LocalMsOf(const SYSTEMTIME& t) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{t.wYear}, month{t.wMonth}, std::chrono::day{t.wDay}};
    return duration_cast<milliseconds>(day.time_since_epoch()).count() +
           ((t.wHour * 60LL + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
}

SYSTEMTIME SystemTimeOf(int64_t ms) {
    using namespace std::chrono;
    const sys_days day = floor<days>(sys_time<milliseconds>(milliseconds(ms)));
    const year_month_day ymd(day);
    int64_t rest = ms - duration_cast<milliseconds>(day.time_since_epoch()).count();
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(static_cast<int>(ymd.year()));
    t.wMonth = static_cast<WORD>(static_cast<unsigned>(ymd.month()));
    t.wDay = static_cast<WORD>(static_cast<unsigned>(ymd.day()));
    t.wDayOfWeek = static_cast<WORD>(weekday(day).c_encoding());
    t.wMilliseconds = static_cast<WORD>(rest % 1000);
    rest /= 1000;
    t.wSecond = static_cast<WORD>(rest % 60);
    rest /= 60;
    t.wMinute = static_cast<WORD>(rest % 60);
    t.wHour = static_cast<WORD>(rest / 60);
    return t;
}

std::mutex& ListenerLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::vector<ClockListener>& Listeners() {
    static auto* listeners = new std::vector<ClockListener>;
    return *listeners;
}

} // namespace

void AddClockListener(ClockListener listener) {
    std::lock_guard guard(ListenerLock());
    Listeners().push_back(listener);
}

void NotifyClockAdvanced() {
    std::vector<ClockListener> listeners;
    {
        std::lock_guard guard(ListenerLock());
        listeners = Listeners();
    }
    for (auto listener : listeners) listener();
}

uint64_t TickMs() {
    TestClock& c = Clock();
    std::lock_guard guard(c.lock);
    return c.active ? c.tickMs : RealTickMs();
}

bool TestClockActive() {
    TestClock& c = Clock();
    std::lock_guard guard(c.lock);
    return c.active;
}

} // namespace host

extern "C" {

void GetLocalTime(LPSYSTEMTIME now) {
    host::Guarded([&] {
        if (!now) return;
        host::TestClock& c = host::Clock();
        {
            std::lock_guard guard(c.lock);
            if (c.active) {
                *now = host::SystemTimeOf(c.localMs);
                return;
            }
        }
        timespec ts;
        clock_gettime(CLOCK_REALTIME, &ts);
        tm local{};
        localtime_r(&ts.tv_sec, &local);
        now->wYear = static_cast<WORD>(local.tm_year + 1900);
        now->wMonth = static_cast<WORD>(local.tm_mon + 1);
        now->wDayOfWeek = static_cast<WORD>(local.tm_wday);
        now->wDay = static_cast<WORD>(local.tm_mday);
        now->wHour = static_cast<WORD>(local.tm_hour);
        now->wMinute = static_cast<WORD>(local.tm_min);
        now->wSecond = static_cast<WORD>(local.tm_sec);
        now->wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1000000);
    });
}

DWORD GetTickCount(void) {
    return host::Guarded<DWORD>(0, [] { return static_cast<DWORD>(host::TickMs()); });
}

void Sleep(DWORD milliseconds) {
    host::Guarded([&] {
        if (host::TestClockActive()) {
            HostAdvanceClock(milliseconds);
            std::this_thread::yield(); // still give other threads their turn, as a real wait would
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    });
}

void HostSetLocalTime(const SYSTEMTIME* now) {
    host::Guarded([&] {
        if (!now) return;
        const uint64_t tick = host::TickMs(); // the tick count goes on from where it is
        host::TestClock& c = host::Clock();
        std::lock_guard guard(c.lock);
        if (!c.active) c.tickMs = tick;
        c.active = true;
        c.localMs = host::LocalMsOf(*now);
    });
}

void HostAdvanceClock(DWORD milliseconds) {
    host::Guarded([&] {
        host::TestClock& c = host::Clock();
        {
            std::lock_guard guard(c.lock);
            if (!c.active) return;
            c.localMs += milliseconds;
            c.tickMs += milliseconds;
        }
        host::NotifyClockAdvanced();
    });
}

void HostUseRealClock(void) {
    host::Guarded([&] {
        host::TestClock& c = host::Clock();
        std::lock_guard guard(c.lock);
        c.active = false;
    });
}

} // extern "C"
