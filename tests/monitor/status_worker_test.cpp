// The status worker: the query it sends, the reply table row by row into the printer status word and
// the job's status text, writers held while the printer reports an error, and ClosePort waiting for it.
#include <atomic>
#include <fstream>
#include <sstream>

#include "VELTlog.h"
#include "last_error.h"
#include "lmon_fixture.h"
#include "monitor_text.h"

namespace {

class StatusWorkerTest : public MonitorTest {
protected:
    static void SetReply(const std::u16string& port, std::vector<uint8_t> reply) {
        FakePortMonitor::With(port, [&](FakePortState& p) { p.statusReply = reply; });
    }
};

// ---- The reply table ----

struct ReplyCase {
    const char* name;
    std::vector<uint8_t> reply;
    DWORD printerStatus;
    std::u16string text;
};

const std::vector<ReplyCase> kReplies = {
    {"BusyAndPaperOut", {0x08, 0x00, 0x00, 0x20}, 0x210, u"-Busy-Out of Paper"},
    {"Busy", {0x08, 0x00, 0x00, 0x00}, PRINTER_STATUS_BUSY, u"-Busy"},
    {"PaperOut", {0x00, 0x00, 0x00, 0x20}, PRINTER_STATUS_PAPER_OUT, u"-Out of Paper"},
    {"DoorOpen", {0x00, 0x04, 0x00, 0x00}, PRINTER_STATUS_DOOR_OPEN, u"-Door Open"},
    {"CutterError", {0x00, 0x00, 0x08, 0x00}, PRINTER_STATUS_USER_INTERVENTION, u"-Cutter error"},
    {"PrintingStopped", {0x00, 0x20, 0x00, 0x00}, PRINTER_STATUS_USER_INTERVENTION, u"-Printing stopped"},
    {"HeadTemperature", {0x00, 0x00, 0x40, 0x00}, PRINTER_STATUS_USER_INTERVENTION, u"-Print head temp error"},
    {"PowerSupply", {0x00, 0x00, 0x60, 0x00}, PRINTER_STATUS_USER_INTERVENTION, u"-Power supply error"},
    {"HeadNotConnected", {0x00, 0x00, 0x20, 0x00}, PRINTER_STATUS_USER_INTERVENTION, u"-Print head not connected"},
    {"OtherBitsMeanNothing", {0xF7, 0xDB, 0x97, 0xDF}, 0, u""},
    {"Everything",
     {0xFF, 0xFF, 0xFF, 0xFF},
     0x500210,
     u"-Busy-Out of Paper-Door Open-Cutter error-Printing stopped-Power supply error"},
    {"ShortReplyReadsZeros", {0x08}, PRINTER_STATUS_BUSY, u"-Busy"},
};

class ReplyTableTest : public StatusWorkerTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyTableTest, ReplyBecomesStatusWordAndJobText) {
    const ReplyCase& c = GetParam();
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    SetReply(u"USB001", c.reply);
    RunWorkerPass(port);
    EXPECT_EQ(PrinterStatus(), c.printerStatus);
    EXPECT_EQ(Job(job).statusText, c.text);
    EXPECT_EQ((Job(job).status & JOB_STATUS_ERROR) != 0, c.printerStatus != 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReplyTableTest, ::testing::ValuesIn(kReplies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatusWorkerTest, ErrorFreeReplyClearsTheStatusAndTheText) {
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    SetReply(u"USB001", {0x00, 0x04, 0x00, 0x00});
    RunWorkerPass(port);
    ASSERT_EQ(Job(job).statusText, u"-Door Open");
    SetReply(u"USB001", {0, 0, 0, 0});
    RunWorkerPass(port);
    EXPECT_EQ(PrinterStatus(), 0u);
    EXPECT_EQ(Job(job).statusText, u"");
    EXPECT_EQ(Job(job).status & JOB_STATUS_ERROR, 0u);
}

TEST_F(StatusWorkerTest, QueryIsTheVendorCommandWithItsThreeBytes) {
    const HANDLE port = OpenPort();
    const auto events = FakePortMonitor::Events(u"USB001");
    const auto query = std::find_if(events.begin(), events.end(), [](const auto& e) { return e.call == "query"; });
    ASSERT_NE(query, events.end());
    EXPECT_EQ(query->value, static_cast<DWORD>(0x22003C));
    std::vector<uint8_t> expected(1024, 0);
    expected[0] = 0x14, expected[1] = 0x01, expected[2] = 0x01;
    EXPECT_EQ(query->bytes, expected);
    EXPECT_EQ(lmon::MonitorResourceUses(), 0) << "the resource library is given back after each poll";
    EXPECT_FALSE(lmon::MonitorResourcesLoaded());
    (void)port;
}

TEST_F(StatusWorkerTest, PollIsLoggedWithTheReplyBytesAsSignedCharacters) {
    std::filesystem::create_directories(Folder() / "logs");
    DRIVER_LOG_SETTINGS settings{};
    settings.dlEnabled = 1;
    const std::u16string folder = PathIn("logs");
    std::copy(folder.begin(), folder.end(), settings.dlFolder);
    std::u16string value = u"DriverLogFile";
    ASSERT_EQ(SetPrinterDataW(printer, value.data(), REG_BINARY, reinterpret_cast<LPBYTE>(&settings), sizeof settings),
              static_cast<DWORD>(ERROR_SUCCESS));
    SetReply(u"USB001", {0x00, 0x80, 0x17, 0x9F}); // no error: the write is not held
    const HANDLE port = OpenPort();
    ASSERT_TRUE(StartDoc(port, QueueJob()));
    ASSERT_TRUE(Write(port, {1}));
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    const auto bytes = ReadBytes(Folder() / "logs" / "VELTLMON.log");
    const std::string log(bytes.begin(), bytes.end());
    for (const char* line :
         {"Data sent to the printer: 0X14 0X01 0X01", "Data received from the printer: 0X0 0Xffffff80 0X17 0Xffffff9f",
          "Inside StartDocPort", "Inside WritePort", "Inside EndDocPort"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

// ---- Writers held while the printer reports an error ----

class HeldWriter {
public:
    HeldWriter(MONITOR* monitor, HANDLE port, std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
        thread_ = std::thread([=, this] {
            DWORD written = 0;
            result_ = monitor->pfnWritePort(port, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written);
            done_ = true;
        });
    }
    ~HeldWriter() { thread_.join(); }
    bool Done() const { return done_; }
    BOOL Result() const { return result_; }

private:
    std::vector<uint8_t> bytes_;
    std::atomic<bool> done_{false};
    std::atomic<BOOL> result_{FALSE};
    std::thread thread_;
};

TEST_F(StatusWorkerTest, WritesWaitWhilePaperIsOutAndGoOnWhenItReturns) {
    SetReply(u"USB001", {0x00, 0x00, 0x00, 0x20});
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    HeldWriter writer(monitor, port, {0x1B, 0x40, 0x41});
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(writer.Done());
    RunWorkerPass(port);
    EXPECT_FALSE(writer.Done()) << "still out of paper";
    EXPECT_EQ(Job(job).statusText, u"-Out of Paper");
    EXPECT_TRUE(FakePortMonitor::Written(u"USB001").empty());
    SetReply(u"USB001", {0, 0, 0, 0});
    RunWorkerPass(port);
    ASSERT_TRUE(WaitUntil([&] { return writer.Done(); }));
    EXPECT_TRUE(writer.Result());
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"), Bytes({0x1B, 0x40, 0x41}));
}

TEST_F(StatusWorkerTest, HeldWriteGoesOnWhenTheJobIsCancelled) {
    StoreColorSetting(0);
    StoreVerticalDotCount(3);
    SetReply(u"USB001", {0x00, 0x00, 0x00, 0x20});
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    {
        HeldWriter writer(monitor, port, {0x1B, 0x2C, 0x00, 0x03, 0x00});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(writer.Done());
        CancelJob(job);
        RunWorkerPass(port);
        ASSERT_TRUE(WaitUntil([&] { return writer.Done(); }));
    }
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"),
              Concat(Concat({0x1B, 0x2C, 0x00, 0x03, 0x00}, std::vector<uint8_t>(3 * 80 + 1, 0)), {0x1B, 0x40}));
}

TEST_F(StatusWorkerTest, QueryWithoutAnswerChangesNoStatusAndHoldsNoWriter) {
    PRINTER_INFO_6 earlier{PRINTER_STATUS_PAPER_OUT};
    ASSERT_TRUE(SetPrinterW(printer, 6, reinterpret_cast<LPBYTE>(&earlier), 0));
    for (bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "query fails" : "query returns 0 bytes");
        FakePortMonitor::With(u"USB001", [&](FakePortState& p) {
            p.statusReply.clear();
            p.statusFails = fails;
        });
        const HANDLE port = OpenPort();
        const DWORD job = QueueJob();
        ASSERT_TRUE(StartDoc(port, job));
        RunWorkerPass(port);
        EXPECT_EQ(PrinterStatus(), static_cast<DWORD>(PRINTER_STATUS_PAPER_OUT));
        EXPECT_EQ(Job(job).statusText, u"");
        EXPECT_TRUE(Write(port, {7}));
        ASSERT_TRUE(monitor->pfnEndDocPort(port));
        Close(port);
    }
}

struct OtherPort {
    const char* name;
    std::u16string port;
};

class NonUsbPortTest : public StatusWorkerTest, public ::testing::WithParamInterface<OtherPort> {};

TEST_P(NonUsbPortTest, NoQueryAndWritesAreNeverHeld) {
    const std::u16string name = GetParam().port;
    SetReply(name, {0x00, 0x00, 0x00, 0x20});
    const HANDLE port = OpenPort(name);
    ASSERT_TRUE(StartDoc(port, QueueJob()));
    RunWorkerPass(port);
    EXPECT_TRUE(Write(port, {5, 6}));
    EXPECT_EQ(FakePortMonitor::Count(name, "query"), 0);
    EXPECT_EQ(FakePortMonitor::Written(name), Bytes({5, 6}));
}

INSTANTIATE_TEST_SUITE_P(Ports, NonUsbPortTest,
                         ::testing::Values(OtherPort{"Com", u"COM1"}, OtherPort{"Lpt", u"lpt1"},
                                           OtherPort{"MixedCaseUsb", u"Usb001"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- ClosePort and the worker ----

TEST_F(StatusWorkerTest, ClosePortDuringAPollReturnsOnlyAfterTheWorkerHasEnded) {
    const HANDLE port = OpenPort();
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.holdQueries = true; });
    HostAdvanceClock(static_cast<DWORD>(Record(port)->workerWaitEnd.load() - GetTickCount()));
    ASSERT_TRUE(
        WaitUntil([] { return FakePortMonitor::With(u"USB001", [](FakePortState& p) { return p.queryHeld; }); }));
    std::atomic<bool> closed{false};
    std::thread closer([&] {
        EXPECT_TRUE(monitor->pfnClosePort(port));
        closed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(closed);
    EXPECT_EQ(FakePortMonitor::Count(u"USB001", "close"), 0);
    FakePortMonitor::ReleaseQueries(u"USB001");
    closer.join();
    std::erase(openPorts, port);
    const auto events = FakePortMonitor::Events(u"USB001");
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2].call, "query-answered");
    EXPECT_EQ(events.back().call, "close");
}

TEST_F(StatusWorkerTest, ClosePortLetsAHeldWriterGoWithoutWriting) {
    SetReply(u"USB001", {0x00, 0x04, 0x00, 0x00});
    const HANDLE port = OpenPort();
    ASSERT_TRUE(StartDoc(port, QueueJob()));
    {
        HeldWriter writer(monitor, port, {1, 2, 3});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(writer.Done());
        Close(port);
        ASSERT_TRUE(writer.Done());
        EXPECT_FALSE(writer.Result());
    }
    EXPECT_TRUE(FakePortMonitor::Written(u"USB001").empty());
}

} // namespace
