// The test clock: a fixed local time that moves only when advanced, and Sleep that takes no time.
#include <thread>

#include "host_fixture.h"

namespace {

using ClockTest = HostTest;

TEST_F(ClockTest, LocalTimeIsTheSetTimeWithItsWeekday) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2024);
    EXPECT_EQ(now.wMonth, 3);
    EXPECT_EQ(now.wDay, 5);
    EXPECT_EQ(now.wDayOfWeek, 2); // a Tuesday
    EXPECT_EQ(now.wHour, 10);
    EXPECT_EQ(now.wMinute, 30);
    EXPECT_EQ(now.wMilliseconds, 0);
}

TEST_F(ClockTest, AdvancingCrossesMidnightMonthsAndLeapDays) {
    SYSTEMTIME start{2024, 2, 0, 28, 23, 59, 59, 999};
    HostSetLocalTime(&start);
    HostAdvanceClock(1);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(now.wMonth, 2);
    EXPECT_EQ(now.wDay, 29);
    EXPECT_EQ(now.wHour, 0);
    EXPECT_EQ(now.wMilliseconds, 0);
    HostAdvanceClock(24 * 3600 * 1000);
    GetLocalTime(&now);
    EXPECT_EQ(now.wMonth, 3);
    EXPECT_EQ(now.wDay, 1);
    EXPECT_EQ(now.wDayOfWeek, 5); // 1 March 2024 was a Friday
}

TEST_F(ClockTest, SleepAdvancesTheTestClockAtOnceAcrossThreads) {
    const DWORD before = GetTickCount();
    std::thread worker([] { Sleep(240000); });
    Sleep(60000);
    worker.join();
    EXPECT_EQ(GetTickCount() - before, 300000u);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(now.wMinute, 35);
}

TEST_F(ClockTest, DebugOutputIsKeptInOrder) {
    OutputDebugStringW(u"first");
    OutputDebugStringW(u"second");
    EXPECT_EQ(HostDebugOutput(), (std::vector<std::u16string>{u"first", u"second"}));
    HostClearDebugOutput();
    EXPECT_TRUE(HostDebugOutput().empty());
}

} // namespace
