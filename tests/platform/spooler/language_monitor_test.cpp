// Jobs through a language monitor: the spooler loads the monitor its printer's driver names, opens
// the port through it when the first job starts spooling and keeps it open, despools StartDocPort,
// WritePort in pieces, EndDocPort, keeps a job the monitor holds until it is reported ejected, stops
// writing a job cancelled on its way, and asks the monitor for printer data it does not store.
#include <algorithm>
#include <numeric>

#include "spooler_test_support.h"

namespace {

using Journal = std::vector<std::string>;

// The test monitor's own exports, reached as the spooler reaches the module.
struct TestMonitor {
    void (*journal)(Journal*) = nullptr;
    void (*hold)(BOOL) = nullptr;
    void (*ejectHeld)() = nullptr;

    static TestMonitor& Get() {
        static TestMonitor monitor = [] {
            TestMonitor m;
            HMODULE module = LoadLibraryW(u"TestLanguageMonitor.dll");
            auto find = [module](const char* name) {
                return reinterpret_cast<void (*)()>(GetProcAddress(module, name));
            };
            m.journal = reinterpret_cast<void (*)(Journal*)>(find("TestMonitorJournal"));
            m.hold = reinterpret_cast<void (*)(BOOL)>(find("TestMonitorHoldJobs"));
            m.ejectHeld = reinterpret_cast<void (*)()>(find("TestMonitorEjectHeldJobs"));
            return m;
        }();
        return monitor;
    }
    Journal Take() const {
        Journal lines;
        journal(&lines);
        return lines;
    }
};

class LanguageMonitorTest : public SpoolerTest {
protected:
    void SetUp() override {
        SpoolerTest::SetUp();
        ASSERT_NE(TestMonitor::Get().journal, nullptr) << "the test monitor module is not found";
        TestMonitor::Get().hold(FALSE);
        ASSERT_TRUE(AddMonitor(u"Pass Through", u"TestLanguageMonitor.dll"));
        ASSERT_TRUE(AddDriver(u"Monitored", u"Pass Through"));
        TestMonitor::Get().Take();
    }
    void TearDown() override {
        HostUseTemporaryStore(); // closes the ports open through the monitor
        TestMonitor::Get().hold(FALSE);
        TestMonitor::Get().Take();
        SpoolerTest::TearDown();
    }
    static BOOL AddMonitor(std::u16string name, std::u16string module) {
        std::u16string environment = u"Windows NT x86";
        MONITOR_INFO_2W info{name.data(), environment.data(), module.data()};
        return AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    }
    static BOOL AddDriver(std::u16string name, std::u16string monitor) {
        std::u16string path = u"VELT.dll";
        DRIVER_INFO_3W info{};
        info.cVersion = 3;
        info.pName = name.data();
        info.pDriverPath = path.data();
        info.pMonitorName = monitor.empty() ? nullptr : monitor.data();
        return AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info));
    }
    static std::vector<std::string> WriteSizes(const Journal& journal) {
        std::vector<std::string> sizes;
        for (const auto& line : journal)
            if (line.rfind("WritePort ", 0) == 0) sizes.push_back(line.substr(10));
        return sizes;
    }
    static size_t Count(const Journal& journal, const std::string& prefix) {
        return std::count_if(journal.begin(), journal.end(), [&](const auto& l) { return l.rfind(prefix, 0) == 0; });
    }
};

// Whatever the job's size, its bytes reach the port once and in order, in pieces of at most 4096.
TEST_F(LanguageMonitorTest, EveryByteGoesThroughTheMonitorInPiecesOfTheReceiveBuffer) {
    struct Case {
        size_t size;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {1, {"1"}},
        {4096, {"4096"}},
        {4097, {"4096", "1"}},
        {10000, {"4096", "4096", "1808"}},
    };
    HANDLE printer = AddTestPrinter(u"Shop", u"Monitored", u"REC:till");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        RecordingBackend::Get().Reset();
        std::string data(c.size, '\0');
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + 3);
        const DWORD job = PrintDocument(printer, u"doc", {data});
        ASSERT_NE(job, 0u);
        EXPECT_EQ(RecordingBackend::Get().bytes, data);
        const Journal journal = TestMonitor::Get().Take();
        EXPECT_EQ(WriteSizes(journal), c.pieces);
        EXPECT_EQ(Count(journal, "StartDocPort " + std::to_string(job)), 1u);
        EXPECT_EQ(journal.back(), "EndDocPort printing");
        EXPECT_EQ(HostJobs(u"Shop").back().status, static_cast<DWORD>(JOB_STATUS_PRINTED));
    }
}

TEST_F(LanguageMonitorTest, ThePortOpensWhenTheFirstJobStartsSpoolingAndStaysOpenUntilTheEnd) {
    ASSERT_TRUE(AddMonitor(u"Once", u"TestLanguageMonitor.dll"));
    ASSERT_TRUE(AddDriver(u"Once Driver", u"Once"));
    HANDLE printer = AddTestPrinter(u"Shop", u"Once Driver", u"REC:till");
    std::u16string document = u"first";
    DOC_INFO_1W info{document.data(), nullptr, nullptr};
    const DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(job, 0u);
    // Spooling has started: the monitor is loaded and the port open, nothing despooled yet.
    EXPECT_EQ(TestMonitor::Get().Take(),
              (Journal{"InitializePrintMonitor SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Once",
                       "OpenPortEx REC:till Shop"}));
    DWORD written = 0;
    ASSERT_TRUE(WritePrinter(printer, const_cast<char*>("abc"), 3, &written));
    ASSERT_TRUE(EndDocPrinter(printer));
    ASSERT_NE(PrintDocument(printer, u"second", {"def"}), 0u);
    // Two jobs, one monitor initialisation and one open port.
    const Journal journal = TestMonitor::Get().Take();
    EXPECT_EQ(Count(journal, "InitializePrintMonitor"), 0u);
    EXPECT_EQ(Count(journal, "OpenPortEx"), 0u);
    EXPECT_EQ(Count(journal, "ClosePort"), 0u);
    EXPECT_EQ(Count(journal, "EndDocPort"), 2u);
    EXPECT_EQ(RecordingBackend::Get().bytes, "abcdef");
    EXPECT_EQ(
        std::count(RecordingBackend::Get().calls.begin(), RecordingBackend::Get().calls.end(), "OpenPort REC:till"), 1);
    // The process (here: the store) ends: the port is closed.
    HostUseTemporaryStore();
    EXPECT_EQ(TestMonitor::Get().Take(), Journal{"ClosePort"});
}

TEST_F(LanguageMonitorTest, AJobTheMonitorHoldsStaysQueuedUntilItsLastPageIsEjected) {
    HANDLE printer = AddTestPrinter(u"Shop", u"Monitored", u"REC:till");
    TestMonitor::Get().hold(TRUE);
    const DWORD job = PrintDocument(printer, u"held", {"data"});
    ASSERT_NE(job, 0u);
    EXPECT_EQ(RecordingBackend::Get().bytes, "data");
    // The monitor deleted it at its end of document; the printer still has it.
    HostJobRecord record = OnlyJob(u"Shop");
    EXPECT_EQ(record.status & (JOB_STATUS_PRINTED | JOB_STATUS_DELETED | JOB_STATUS_DELETING | JOB_STATUS_ERROR), 0u);
    DWORD needed = 0, returned = 0;
    EnumJobsW(printer, 0, 10, 1, nullptr, 0, &needed, &returned);
    EXPECT_GT(needed, 0u); // still listed in the queue

    // A second job does not send the held one again.
    ASSERT_NE(PrintDocument(printer, u"next", {"more"}), 0u);
    EXPECT_EQ(RecordingBackend::Get().bytes, "datamore");

    TestMonitor::Get().ejectHeld();
    const auto jobs = HostJobs(u"Shop");
    ASSERT_EQ(jobs.size(), 2u);
    for (const auto& j : jobs) EXPECT_EQ(j.status, static_cast<DWORD>(JOB_STATUS_PRINTED)) << j.id;
    EnumJobsW(printer, 0, 10, 1, nullptr, 0, &needed, &returned);
    EXPECT_EQ(needed, 0u);
}

// A job cancelled from outside while its bytes are written: the despooler stops, the monitor's
// EndDocPort sees it deleting (to end the printer's raster), and the job goes as deleted.
TEST_F(LanguageMonitorTest, AJobCancelledWhileItsDataIsWrittenStopsAndEndsDeleting) {
    static HANDLE printer;
    static DWORD job;
    printer = AddTestPrinter(u"Shop", u"Monitored", u"REC:till");
    std::u16string document = u"big";
    DOC_INFO_1W info{document.data(), nullptr, nullptr};
    job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(job, 0u);
    const std::string data(20000, 'x');
    DWORD written = 0;
    ASSERT_TRUE(WritePrinter(printer, const_cast<char*>(data.data()), static_cast<DWORD>(data.size()), &written));
    TestMonitor::Get().Take();
    RecordingBackend::Get().duringWrite = [] { ASSERT_TRUE(SetJobW(printer, job, 0, nullptr, JOB_CONTROL_DELETE)); };
    ASSERT_TRUE(EndDocPrinter(printer));
    EXPECT_EQ(RecordingBackend::Get().bytes.size(), 4096u); // the piece on its way went; no more
    const Journal journal = TestMonitor::Get().Take();
    EXPECT_EQ(WriteSizes(journal), std::vector<std::string>{"4096"});
    EXPECT_EQ(journal.back(), "EndDocPort deleting");
    EXPECT_EQ(OnlyJob(u"Shop").status, static_cast<DWORD>(JOB_STATUS_DELETED));
}

TEST_F(LanguageMonitorTest, PrinterDataThatIsNotStoredIsAskedOfTheMonitor) {
    HANDLE monitored = AddTestPrinter(u"Shop", u"Monitored", u"REC:till");
    HANDLE plain = AddTestPrinter(u"Plain", u"VELT", u"REC:other");
    BYTE stored[] = {1, 2};
    ASSERT_EQ(SetPrinterDataW(monitored, const_cast<LPWSTR>(u"Echo"), REG_BINARY, stored, 0), ERROR_SUCCESS);
    ASSERT_EQ(DeletePrinterDataW(monitored, const_cast<LPWSTR>(u"Echo")), ERROR_SUCCESS);
    struct Case {
        HANDLE printer;
        const char16_t* name;
        DWORD size;
        DWORD result;
        DWORD needed;
        std::string bytes;
    };
    ASSERT_EQ(SetPrinterDataW(monitored, const_cast<LPWSTR>(u"Kept"), REG_BINARY, stored, 2), ERROR_SUCCESS);
    const Case cases[] = {
        {monitored, u"Echo", 8, ERROR_SUCCESS, 4, "ECHO"},         // the monitor answers
        {monitored, u"Kept", 8, ERROR_SUCCESS, 2, "\x01\x02"},     // stored: the store answers
        {monitored, u"Other", 8, ERROR_FILE_NOT_FOUND, 0, ""},     // the monitor refuses the name
        {monitored, u"Echo", 2, ERROR_INSUFFICIENT_BUFFER, 0, ""}, // its own error comes back
        {plain, u"Echo", 8, ERROR_FILE_NOT_FOUND, 0, ""},          // no monitor: not there
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(HostNarrow(c.name));
        BYTE data[8] = {};
        DWORD type = 0, needed = 99;
        EXPECT_EQ(GetPrinterDataW(c.printer, const_cast<LPWSTR>(c.name), &type, data, c.size, &needed), c.result);
        EXPECT_EQ(needed, c.needed);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(data), c.bytes.size()), c.bytes);
        if (c.result == ERROR_SUCCESS) {
            EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
        }
    }
    const Journal journal = TestMonitor::Get().Take();
    EXPECT_EQ(Count(journal, "GetPrinterDataFromPort"), 3u);
    EXPECT_EQ(Count(journal, "OpenPortEx REC:till Shop"), 1u);
}

TEST_F(LanguageMonitorTest, AMonitorThatCannotBeLoadedLeavesTheJobInErrorAndNamesItsCause) {
    struct Case {
        const char16_t* monitor;
        const char16_t* module;
        DWORD driverError; // 0: the driver is added, its job fails
    };
    const Case cases[] = {
        {u"Missing Module", u"NoSuchMonitor.dll", 0},
        {u"Not A Monitor", u"VELTlog.dll", 0},
        {u"Never Added", nullptr, ERROR_UNKNOWN_PRINT_MONITOR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(HostNarrow(c.monitor));
        if (c.module) {
            ASSERT_TRUE(AddMonitor(c.monitor, c.module));
        }
        const std::u16string driver = std::u16string(c.monitor) + u" Driver";
        if (c.driverError) {
            SetSentinelLastError();
            EXPECT_FALSE(AddDriver(driver, c.monitor));
            EXPECT_EQ(GetLastError(), c.driverError);
            continue;
        }
        ASSERT_TRUE(AddDriver(driver, c.monitor));
        HANDLE printer = AddTestPrinter(c.monitor, driver, u"REC:till");
        RecordingBackend::Get().Reset();
        ASSERT_NE(PrintDocument(printer, u"doc", {"data"}), 0u);
        EXPECT_TRUE(RecordingBackend::Get().bytes.empty());
        EXPECT_TRUE(OnlyJob(c.monitor).status & JOB_STATUS_ERROR);
    }
}

TEST_F(LanguageMonitorTest, JobIdsComeFromTheStoreAndGoOnInEveryProcessThatOpensIt) {
    const std::string folder = (Folder() / "state").string();
    ASSERT_TRUE(HostUseStore(folder.c_str()));
    HANDLE printer = AddTestPrinter(u"Shop", u"VELT", u"REC:till");
    const DWORD first = PrintDocument(printer, u"a", {"1"});
    const DWORD second = PrintDocument(printer, u"b", {"2"});
    EXPECT_EQ(second, first + 1);
    // Another process opens the same store: its jobs are numbered after these.
    ASSERT_TRUE(HostUseStore(folder.c_str()));
    PRINTER_DEFAULTSW use{nullptr, nullptr, PRINTER_ACCESS_USE};
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(u"Shop"), &printer, &use));
    EXPECT_EQ(PrintDocument(printer, u"c", {"3"}), second + 1);
    ClosePrinter(printer);
    // A fresh store starts from 1.
    HostUseTemporaryStore();
    printer = AddTestPrinter(u"Shop", u"VELT", u"REC:till");
    EXPECT_EQ(PrintDocument(printer, u"d", {"4"}), 1u);
}

TEST_F(LanguageMonitorTest, TheStatusWordAMonitorSetsLeavesTheSpoolersPauseAlone) {
    HANDLE printer = AddTestPrinter(u"Shop", u"Monitored", u"REC:till");
    struct Case {
        DWORD before, set, after;
    };
    const Case cases[] = {
        {0, PRINTER_STATUS_PAPER_OUT | PRINTER_STATUS_BUSY, PRINTER_STATUS_PAPER_OUT | PRINTER_STATUS_BUSY},
        {PRINTER_STATUS_PAPER_OUT, 0, 0},
        {PRINTER_STATUS_PAUSED, PRINTER_STATUS_DOOR_OPEN, PRINTER_STATUS_PAUSED | PRINTER_STATUS_DOOR_OPEN},
        {PRINTER_STATUS_PAUSED | PRINTER_STATUS_DOOR_OPEN, 0, PRINTER_STATUS_PAUSED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        DWORD before = c.before;
        ASSERT_TRUE(SetPrinterW(printer, 0, reinterpret_cast<LPBYTE>(&before), PRINTER_CONTROL_SET_STATUS));
        PRINTER_INFO_6 info{c.set};
        ASSERT_TRUE(SetPrinterW(printer, 6, reinterpret_cast<LPBYTE>(&info), 0));
        PRINTER_INFO_6 read{};
        DWORD needed = 0;
        ASSERT_TRUE(GetPrinterW(printer, 6, reinterpret_cast<LPBYTE>(&read), sizeof read, &needed));
        EXPECT_EQ(read.dwStatus, c.after);
    }
}

TEST_F(LanguageMonitorTest, APrinterWhoseDriverNamesNoMonitorGoesStraightToThePortAsBefore) {
    ASSERT_TRUE(AddDriver(u"Plain Driver", u""));
    HANDLE printer = AddTestPrinter(u"Plain", u"Plain Driver", u"REC:till");
    const DWORD job = PrintDocument(printer, u"doc", {"data"});
    ASSERT_NE(job, 0u);
    EXPECT_TRUE(TestMonitor::Get().Take().empty());
    EXPECT_EQ(
        RecordingBackend::Get().calls,
        (std::vector<std::string>{"OpenPort REC:till", "StartDocPort Plain job " + std::to_string(job) + " level 1 doc",
                                  "EndDocPort", "ClosePort"}));
    EXPECT_EQ(OnlyJob(u"Plain").status, static_cast<DWORD>(JOB_STATUS_PRINTED));
}

} // namespace
