// Held job records released by time (the end-of-job wait, across the tick count's wrap-around), by the
// idle release after 240 seconds of printer errors, and kept while writes fail.
#include "lmon_fixture.h"

namespace {

class JobReleaseTest : public MonitorTest {
protected:
    // Moves the tick count to `tick` (the test clock only goes forward; the 32-bit count wraps).
    static void SetTick(DWORD tick) { HostAdvanceClock(tick - GetTickCount()); }

    static DWORD EndTick(HANDLE port) {
        lmon::MonitorLock lock;
        return Record(port)->jobs ? Record(port)->jobs->endTick : 0;
    }

    // Ends a job that wrote data: it is held. Returns its end tick.
    DWORD EndHeldJob(HANDLE port) {
        EXPECT_TRUE(StartDoc(port, QueueJob()));
        EXPECT_TRUE(Write(port, {0x1B, 0x40}));
        EXPECT_TRUE(monitor->pfnEndDocPort(port));
        EXPECT_EQ(HeldJobs(port).size(), 1u);
        return EndTick(port);
    }
};

struct WaitCase {
    const char* name;
    DWORD startTick;    // 0: wherever the clock is
    DWORD endOfJobWait; // 0: EOJTimeout not stored (the default 60000)
};

class ReleaseByTimeTest : public JobReleaseTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(ReleaseByTimeTest, HeldJobIsReleasedOnceItsWaitHasPassed) {
    const WaitCase& c = GetParam();
    if (c.endOfJobWait) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMonitorRoot.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        DWORD wait = c.endOfJobWait;
        ASSERT_EQ(RegSetValueExW(key, u"EOJTimeout", 0, REG_DWORD, reinterpret_cast<BYTE*>(&wait), 4), ERROR_SUCCESS);
        RegCloseKey(key);
        std::u16string root = kMonitorRoot;
        ASSERT_NE(InitializePrintMonitor(root.data()), nullptr);
    }
    const DWORD wait = c.endOfJobWait ? c.endOfJobWait : 60000;
    if (c.startTick) SetTick(c.startTick);
    const HANDLE port = OpenPort();
    const DWORD ended = EndHeldJob(port);
    ASSERT_TRUE(RunWorkerUntil(port, [&] { return HeldJobs(port).empty(); }));
    const DWORD elapsed = GetTickCount() - ended;
    EXPECT_GE(elapsed, wait);
    EXPECT_LE(elapsed, wait + 5500) << "released at the first pass after the wait";
}

INSTANTIATE_TEST_SUITE_P(Waits, ReleaseByTimeTest,
                         ::testing::Values(WaitCase{"Default", 0, 0}, WaitCase{"StoredWait", 0, 10000},
                                           WaitCase{"AcrossTheWrapAround", 0xFFFFFFFFu - 20000, 0},
                                           WaitCase{"TickBelowTheWait", 1000, 0},
                                           WaitCase{"EndJustBeforeTheWrap", 0xFFFFFFFFu - 2000, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobReleaseTest, HeldJobStaysWhileWritesFail) {
    const HANDLE port = OpenPort();
    ASSERT_TRUE(StartDoc(port, QueueJob()));
    ASSERT_TRUE(Write(port, {1}));
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.failWrites = 1; }); // the trailer fails
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    ASSERT_TRUE(lmon::PortHas(Record(port), PR_WRITE_FAILED));
    const DWORD ended = GetTickCount();
    ASSERT_FALSE(RunWorkerUntil(port, [&] { return GetTickCount() - ended > 120000 || HeldJobs(port).empty(); }) &&
                 HeldJobs(port).empty());
    EXPECT_EQ(HeldJobs(port).size(), 1u);
}

struct IdleCase {
    const char* name;
    std::vector<uint8_t> reply;
    bool released;
};

class IdleReleaseTest : public JobReleaseTest, public ::testing::WithParamInterface<IdleCase> {};

TEST_P(IdleReleaseTest, AllHeldJobsGoAfter240SecondsWithoutAnErrorFreePoll) {
    lmon::Monitor().endOfJobWait = 0x7FFFFFFF; // never by time
    FakePortMonitor::With(u"USB001", [&](FakePortState& p) { p.statusReply = GetParam().reply; });
    const DWORD opened = GetTickCount();
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    {
        // A printer in error holds the write back; the job is cancelled, and ends held.
        std::atomic<bool> done{false};
        std::thread writer([&] {
            Write(port, {0x1B, 0x40});
            done = true;
        });
        if (GetParam().released) {
            CancelJob(job);
            RunWorkerPass(port);
        }
        ASSERT_TRUE(WaitUntil([&] { return done.load(); }));
        writer.join();
    }
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    ASSERT_EQ(HeldJobs(port).size(), 1u);
    const bool released = RunWorkerUntil(
                              port, [&] { return HeldJobs(port).empty() || GetTickCount() - opened > 300000; }, 200) &&
                          HeldJobs(port).empty();
    EXPECT_EQ(released, GetParam().released);
    if (released) {
        EXPECT_GT(GetTickCount() - opened, 240000u) << "counted from the worker's start";
        EXPECT_LE(GetTickCount() - opened, 240000u + 5500);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, IdleReleaseTest,
                         ::testing::Values(IdleCase{"PaperOutAllAlong", {0, 0, 0, 0x20}, true},
                                           IdleCase{"NoError", {0, 0, 0, 0}, false}, IdleCase{"NoAnswer", {}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
