// The port path: job data passed through byte for byte, the trailer and the held record, the fill
// block after a cancel, and the operations' failures.
#include "lmon_fixture.h"

#include "job_release.h"
#include "last_error.h"

namespace {

std::vector<uint8_t> JobData(size_t size) {
    std::vector<uint8_t> data(size);
    uint32_t x = 12345;
    for (auto& b : data) b = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 16);
    return data;
}

const std::vector<uint8_t> kTrailer = {0x1B, 0x40};

class PortPathTest : public MonitorTest {};

// ---- Pass-through ----

struct Pieces {
    const char* name;
    size_t size;
    std::vector<size_t> pieces; // repeated until the data is written
};

class PassThroughTest : public PortPathTest, public ::testing::WithParamInterface<Pieces> {};

TEST_P(PassThroughTest, EveryByteArrivesOnceInOrderThenTheTrailer) {
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    const std::vector<uint8_t> data = JobData(GetParam().size);
    size_t done = 0;
    for (size_t i = 0; done < data.size(); ++i) {
        const size_t piece = std::min(GetParam().pieces[i % GetParam().pieces.size()], data.size() - done);
        DWORD written = 0;
        ASSERT_TRUE(Write(port, std::vector<uint8_t>(data.begin() + done, data.begin() + done + piece), &written));
        ASSERT_EQ(written, piece);
        done += piece;
    }
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"), Concat(data, kTrailer));
    EXPECT_EQ(FakePortMonitor::Count(u"USB001", "start"), 1);
    EXPECT_EQ(FakePortMonitor::Count(u"USB001", "end"), 1);
}

INSTANTIATE_TEST_SUITE_P(Pieces, PassThroughTest,
                         ::testing::Values(Pieces{"OneByteAtATime", 300, {1}}, Pieces{"Odd", 20000, {7, 1, 4093}},
                                           Pieces{"Blocks", 100000, {4096}}, Pieces{"Whole", 65536, {65536}},
                                           Pieces{"ZeroLengthBetween", 500, {0, 13}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Trailer and held record ----

TEST_F(PortPathTest, JobThatWroteDataIsHeldWithItsEndTick) {
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    EXPECT_EQ(NewestJobFlags(port), static_cast<DWORD>(JR_IN_DOCUMENT | JR_ARMED));
    ASSERT_TRUE(Write(port, {1, 2, 3}));
    EXPECT_EQ(NewestJobFlags(port), static_cast<DWORD>(JR_IN_DOCUMENT | JR_TRAILER_DUE));
    const DWORD before = GetTickCount();
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_EQ(HeldJobs(port), std::vector<DWORD>{job});
    EXPECT_EQ(NewestJobFlags(port), static_cast<DWORD>(JR_TRAILER_DUE));
    lmon::MonitorLock lock;
    EXPECT_EQ(Record(port)->jobs->endTick, before);
}

struct NoTrailerCase {
    const char* name;
    bool writes;
    bool workerHadRun;
};

class NoTrailerTest : public PortPathTest, public ::testing::WithParamInterface<NoTrailerCase> {};

TEST_P(NoTrailerTest, NeitherTrailerNorHeldRecord) {
    const HANDLE port = OpenPort();
    if (!GetParam().workerHadRun) lmon::ClearPortFlags(Record(port), PR_WORKER_STARTED);
    ASSERT_TRUE(StartDoc(port, QueueJob()));
    if (GetParam().writes) {
        ASSERT_TRUE(Write(port, {0x1B, 0x40, 0x0A}));
    }
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"), GetParam().writes ? Bytes({0x1B, 0x40, 0x0A}) : Bytes({}));
    EXPECT_TRUE(HeldJobs(port).empty());
}

INSTANTIATE_TEST_SUITE_P(Jobs, NoTrailerTest,
                         ::testing::Values(NoTrailerCase{"NoData", false, true},
                                           NoTrailerCase{"StartedBeforeTheWorkerRan", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortPathTest, JobReleasedAtItsEndIsDeletedFromTheQueueUnlessPrinted) {
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_TRUE(Job(job).status & JOB_STATUS_DELETING) << "job control JOB_CONTROL_DELETE was issued";
}

TEST_F(PortPathTest, EndDocPortWithoutADocumentEndsNothing) {
    const HANDLE port = OpenPort();
    EXPECT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_EQ(FakePortMonitor::Count(u"USB001", "end"), 0);
    // A second end after a held job neither repeats the trailer nor touches the held record.
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    ASSERT_TRUE(Write(port, {9}));
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"), Bytes({9, 0x1B, 0x40}));
    EXPECT_EQ(HeldJobs(port), std::vector<DWORD>{job});
}

TEST_F(PortPathTest, LaterJobReleasedAtItsEndTakesTheOlderHeldRecordsWithIt) {
    const HANDLE port = OpenPort();
    const DWORD first = QueueJob(), second = QueueJob();
    ASSERT_TRUE(StartDoc(port, first));
    ASSERT_TRUE(Write(port, {1}));
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    ASSERT_EQ(HeldJobs(port), std::vector<DWORD>{first});
    ASSERT_TRUE(StartDoc(port, second)); // writes nothing: released at its end
    EXPECT_EQ(HeldJobs(port), (std::vector<DWORD>{second, first}));
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_TRUE(HeldJobs(port).empty());
}

// ---- Fill block ----

struct FillCase {
    const char* name;
    int colorSetting; // -1: no settings record
    int rows;         // -1: no VerticalDotCount
    bool cancelled;
    size_t zeros; // 0: no fill block
};

class FillBlockTest : public PortPathTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(FillBlockTest, CancelledJobEndsWithZerosThenTheTrailer) {
    const FillCase& c = GetParam();
    if (c.colorSetting >= 0) StoreColorSetting(static_cast<SHORT>(c.colorSetting));
    if (c.rows >= 0) StoreVerticalDotCount(static_cast<DWORD>(c.rows));
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    const std::vector<uint8_t> raster = {0x1B, 0x2C, 0x00, 0x18, 0x00, 0xAA, 0x55};
    ASSERT_TRUE(Write(port, raster));
    if (c.cancelled) CancelJob(job);
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"), Concat(Concat(raster, std::vector<uint8_t>(c.zeros, 0)), kTrailer));
    EXPECT_EQ(lmon::Monitor().fillPending.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FillBlockTest,
    ::testing::Values(FillCase{"MonoCancelled", 0, 24, true, 24 * 80 + 1},
                      FillCase{"TwoColourCancelled", 1, 24, true, 24 * 160 + 1},
                      FillCase{"OneRowBlocks", 0, 1, true, 81}, FillCase{"ZeroRows", 1, 0, true, 1},
                      FillCase{"NotCancelled", 0, 24, false, 0}, FillCase{"ColourSettingTwo", 2, 24, true, 0},
                      FillCase{"NoVerticalDotCount", 0, -1, true, 0}, FillCase{"NoSettingsRecord", -1, 24, true, 0},
                      FillCase{"MoreRowsThanABlockHas", 0, 0x10000, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortPathTest, FillBlockGoesOutWholeWhenThePortTakesItInPieces) {
    StoreColorSetting(1);
    StoreVerticalDotCount(100);
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    ASSERT_TRUE(Write(port, {0x1B, 0x2C}));
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.mostPerWrite = 1000; });
    CancelJob(job);
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"),
              Concat(Concat({0x1B, 0x2C}, std::vector<uint8_t>(100 * 160 + 1, 0)), kTrailer));
}

TEST_F(PortPathTest, FillBlockThePortDidNotTakeIsSentBeforeTheNextWrite) {
    StoreColorSetting(0);
    StoreVerticalDotCount(2);
    const HANDLE port = OpenPort();
    const DWORD first = QueueJob();
    ASSERT_TRUE(StartDoc(port, first));
    ASSERT_TRUE(Write(port, {0x1B, 0x2C}));
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.writeTakesNothing = true; });
    CancelJob(first);
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_EQ(lmon::Monitor().fillPending.load(), 1);
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.writeTakesNothing = false; });

    ASSERT_TRUE(StartDoc(port, QueueJob()));
    ASSERT_TRUE(Write(port, {0x1B, 0x40}));
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"),
              Concat(Concat({0x1B, 0x2C}, std::vector<uint8_t>(161, 0)), {0x1B, 0x40}));
    EXPECT_EQ(lmon::Monitor().fillPending.load(), 0);
}

// ---- Failures ----

TEST_F(PortPathTest, FailedWriteIsReportedAndMarkedUntilAWriteSucceeds) {
    const HANDLE port = OpenPort();
    ASSERT_TRUE(StartDoc(port, QueueJob()));
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.failWrites = 1; });
    EXPECT_LAST_ERROR(ERROR_WRITE_FAULT, EXPECT_FALSE(Write(port, {1, 2})));
    EXPECT_TRUE(lmon::PortHas(Record(port), PR_WRITE_FAILED));
    EXPECT_TRUE(Write(port, {3}));
    EXPECT_FALSE(lmon::PortHas(Record(port), PR_WRITE_FAILED));
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"), Bytes({3}));
}

TEST_F(PortPathTest, CallsWithAHandleThatIsNoPortAreRefused) {
    lmon::PortRecord fake{};
    fake.signature = PORT_RECORD_SIGNATURE; // looks like a record, but is in no port list
    for (HANDLE handle : {static_cast<HANDLE>(nullptr), static_cast<HANDLE>(&fake)}) {
        BYTE buffer[4] = {};
        DWORD count = 0;
        EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(StartDoc(handle, 1)));
        EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(monitor->pfnWritePort(handle, buffer, 4, &count)));
        EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(monitor->pfnReadPort(handle, buffer, 4, &count)));
        EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(monitor->pfnEndDocPort(handle)));
        EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(monitor->pfnClosePort(handle)));
        EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(monitor->pfnGetPrinterDataFromPort(
                                                       handle, 5, nullptr, nullptr, 0, nullptr, 0, &count)));
    }
}

TEST_F(PortPathTest, StartDocPortRefusals) {
    const HANDLE port = OpenPort();
    std::u16string name = kPrinter, empty;
    DOC_INFO_1W info{};
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER,
                      EXPECT_FALSE(monitor->pfnStartDocPort(port, name.data(), 1, 1, nullptr)));
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(monitor->pfnStartDocPort(port, empty.data(), 1, 1,
                                                                                     reinterpret_cast<LPBYTE>(&info))));
    EXPECT_LAST_ERROR(ERROR_INVALID_LEVEL,
                      EXPECT_FALSE(monitor->pfnStartDocPort(port, name.data(), 1, 2, reinterpret_cast<LPBYTE>(&info))));
    EXPECT_LAST_ERROR(ERROR_INVALID_PRINTER_NAME, EXPECT_FALSE(StartDoc(port, 1, u"No Such Printer")));
    ASSERT_TRUE(StartDoc(port, QueueJob()));
    EXPECT_LAST_ERROR(ERROR_BUSY, EXPECT_FALSE(StartDoc(port, QueueJob())));
    EXPECT_EQ(HeldJobs(port).size(), 1u);
    EXPECT_EQ(FakePortMonitor::Count(u"USB001", "start"), 1);
}

TEST_F(PortPathTest, StartThePortMonitorRefusesLeavesNoJobAndItsError) {
    const HANDLE port = OpenPort();
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.startFails = true; });
    const long blocks = HostHeapBlocksInUse();
    EXPECT_LAST_ERROR(ERROR_GEN_FAILURE, EXPECT_FALSE(StartDoc(port, QueueJob())));
    EXPECT_TRUE(HeldJobs(port).empty());
    EXPECT_FALSE(lmon::PortHas(Record(port), PR_IN_DOCUMENT));
    EXPECT_EQ(HostHeapBlocksInUse(), blocks);
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.startFails = false; });
    EXPECT_TRUE(StartDoc(port, QueueJob())) << "the port takes the next document";
}

TEST_F(PortPathTest, OpenPortExRefusals) {
    std::u16string name = u"USB001", other = u"usb001", printerName = kPrinter;
    HANDLE handle = OpenPort(name);
    ASSERT_NE(handle, nullptr);
    HANDLE second = nullptr;
    MONITOR table = FakePortMonitor::Table();
    EXPECT_LAST_ERROR(ERROR_BUSY,
                      EXPECT_FALSE(monitor->pfnOpenPortEx(other.data(), printerName.data(), &second, &table)));
    std::u16string fresh = u"USB002";
    EXPECT_LAST_ERROR(ERROR_INVALID_PRINT_MONITOR,
                      EXPECT_FALSE(monitor->pfnOpenPortEx(fresh.data(), printerName.data(), &second, nullptr)));
    const std::vector<std::function<void(MONITOR&)>> removals = {
        [](MONITOR& t) { t.pfnOpenPort = nullptr; }, [](MONITOR& t) { t.pfnStartDocPort = nullptr; },
        [](MONITOR& t) { t.pfnWritePort = nullptr; }, [](MONITOR& t) { t.pfnReadPort = nullptr; },
        [](MONITOR& t) { t.pfnClosePort = nullptr; }};
    for (const auto& remove : removals) {
        MONITOR lacking = FakePortMonitor::Table();
        remove(lacking);
        EXPECT_LAST_ERROR(ERROR_INVALID_PRINT_MONITOR,
                          EXPECT_FALSE(monitor->pfnOpenPortEx(fresh.data(), printerName.data(), &second, &lacking)));
    }
    EXPECT_EQ(second, nullptr);
    Close(handle);
    EXPECT_NE(OpenPort(other), nullptr) << "a closed port's name is free again";
}

TEST_F(PortPathTest, ClosePortFreesHeldJobsAndClosesThePortBeneath) {
    const HANDLE port = OpenPort();
    const long blocks = HostHeapBlocksInUse();
    ASSERT_TRUE(StartDoc(port, QueueJob()));
    ASSERT_TRUE(Write(port, {1}));
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    ASSERT_EQ(HeldJobs(port).size(), 1u);
    Close(port);
    EXPECT_EQ(FakePortMonitor::Events(u"USB001").back().call, "close");
    EXPECT_LT(HostHeapBlocksInUse(), blocks + 1) << "the held job record is freed";
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(monitor->pfnClosePort(port))) << "closed twice";
}

TEST_F(PortPathTest, ReleaseJobsByIdTakesTheOlderRecordsAndAllTakesEvery) {
    const HANDLE port = OpenPort();
    std::vector<DWORD> ids;
    for (int i = 0; i < 3; ++i) {
        ids.push_back(QueueJob());
        ASSERT_TRUE(StartDoc(port, ids.back()));
        ASSERT_TRUE(Write(port, {1}));
        ASSERT_TRUE(monitor->pfnEndDocPort(port));
    }
    ASSERT_EQ(HeldJobs(port), (std::vector<DWORD>{ids[2], ids[1], ids[0]}));
    lmon::ReleaseJobs(Record(port), 4242, FALSE);
    EXPECT_EQ(HeldJobs(port).size(), 3u) << "an id that is not held releases nothing";
    lmon::ReleaseJobs(Record(port), ids[1], FALSE);
    EXPECT_EQ(HeldJobs(port), std::vector<DWORD>{ids[2]});
    lmon::ReleaseJobs(Record(port), RELEASE_ALL_JOBS, FALSE);
    EXPECT_TRUE(HeldJobs(port).empty());
}

} // namespace
