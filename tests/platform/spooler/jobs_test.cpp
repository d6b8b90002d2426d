// Jobs from StartDocPrinterW to the port: the bytes arrive as written, through the monitor's calls
// in their order; failures leave the job in error rather than hanging or losing it.
#include "spooler_test_support.h"

namespace {

using JobsTest = SpoolerTest;

TEST_F(JobsTest, AJobArrivesByteForByteAtAFilePort) {
    const std::u16string port = u"FILE:" + PathIn("out.prn");
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", port);
    std::string binary("\x1B\x40\x00\xFF\x1D\x56\x30", 7);
    ASSERT_NE(PrintDocument(printer, u"first", {binary, "page two"}), 0u);
    ASSERT_NE(PrintDocument(printer, u"second", {"more"}), 0u);
    EXPECT_EQ(Text(ReadBytes(Folder() / "out.prn")), binary + "page two" + "more"); // jobs append
    EXPECT_EQ(Text(HostPortBytes(port.c_str())), binary + "page two" + "more");
    const auto jobs = HostJobs(u"VELT");
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].document, u"first");
    EXPECT_EQ(jobs[0].status, static_cast<DWORD>(JOB_STATUS_PRINTED));
    EXPECT_EQ(jobs[0].size, 15u);
    EXPECT_EQ(jobs[0].pages, 2u);
    EXPECT_LT(jobs[0].id, jobs[1].id);
}

TEST_F(JobsTest, ABackendGetsTheMonitorCallsInOrderAndEveryByteEvenInSmallBites) {
    RecordingBackend::Get().takePerWrite = 3;
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"REC:shop");
    const std::string data = "0123456789abcdefghij";
    const DWORD job = PrintDocument(printer, u"receipt", {data});
    ASSERT_NE(job, 0u);
    EXPECT_EQ(RecordingBackend::Get().bytes, data);
    EXPECT_EQ(Text(HostPortBytes(u"rec:SHOP")), data);
    EXPECT_EQ(RecordingBackend::Get().calls,
              (std::vector<std::string>{"OpenPort REC:shop",
                                        "StartDocPort VELT job " + std::to_string(job) + " level 1 receipt",
                                        "EndDocPort", "ClosePort"}));
    EXPECT_EQ(OnlyJob(u"VELT").status, static_cast<DWORD>(JOB_STATUS_PRINTED));
}

TEST_F(JobsTest, APortThatTakesNothingEndsInAnErrorThatARestartClears) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"USB001");
    HostStallPort(u"usb001", TRUE);
    const DWORD job = PrintDocument(printer, u"stuck", {"data"});
    ASSERT_NE(job, 0u); // spooled fine; printing is what failed
    EXPECT_TRUE(HostPortBytes(u"USB001").empty());
    HostJobRecord record = OnlyJob(u"VELT");
    EXPECT_TRUE(record.status & JOB_STATUS_ERROR);
    EXPECT_EQ(record.size, 4u);

    HostStallPort(u"USB001", FALSE);
    ASSERT_TRUE(SetJobW(printer, job, 0, nullptr, JOB_CONTROL_RESTART));
    EXPECT_EQ(Text(HostPortBytes(u"USB001")), "data");
    EXPECT_EQ(OnlyJob(u"VELT").status, static_cast<DWORD>(JOB_STATUS_PRINTED));
}

TEST_F(JobsTest, ADeviceNodePortTakesTheBytes) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"/dev/null");
    ASSERT_NE(PrintDocument(printer, u"doc", {"to the device"}), 0u);
    EXPECT_EQ(Text(HostPortBytes(u"/dev/null")), "to the device");
    EXPECT_EQ(OnlyJob(u"VELT").status, static_cast<DWORD>(JOB_STATUS_PRINTED));
}

TEST_F(JobsTest, APortThatCannotOpenLeavesTheJobInError) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"FILE:" + PathIn("missing/out.prn"));
    ASSERT_NE(PrintDocument(printer, u"doc", {"x"}), 0u);
    EXPECT_TRUE(OnlyJob(u"VELT").status & JOB_STATUS_ERROR);
}

TEST_F(JobsTest, WritingWithoutADocumentAndInjectedWriteFailures) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"USB001");
    char byte = 'x';
    DWORD written = 99;
    EXPECT_FALSE(WritePrinter(printer, &byte, 1, &written));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SPL_NO_STARTDOC));
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(EndDocPrinter(printer));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SPL_NO_STARTDOC));
    EXPECT_FALSE(StartPagePrinter(printer));

    DOC_INFO_1W info{const_cast<LPWSTR>(u"doc"), nullptr, nullptr};
    ASSERT_NE(StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    EXPECT_EQ(StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u); // one document per handle
    HostFailPrinterWrite(2);
    EXPECT_TRUE(WritePrinter(printer, const_cast<char*>("ab"), 2, &written));
    EXPECT_FALSE(WritePrinter(printer, const_cast<char*>("cd"), 2, &written));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(WritePrinter(printer, const_cast<char*>("ef"), 2, &written));
    ASSERT_TRUE(EndDocPrinter(printer));
    EXPECT_EQ(Text(HostPortBytes(u"USB001")), "abef");
}

TEST_F(JobsTest, AbortDropsTheJobAndNothingReachesThePort) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"USB001");
    DOC_INFO_1W info{const_cast<LPWSTR>(u"doc"), nullptr, nullptr};
    ASSERT_NE(StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    DWORD written = 0;
    WritePrinter(printer, const_cast<char*>("abc"), 3, &written);
    ASSERT_TRUE(AbortPrinter(printer));
    EXPECT_FALSE(EndDocPrinter(printer));
    EXPECT_TRUE(HostPortBytes(u"USB001").empty());
    EXPECT_EQ(OnlyJob(u"VELT").status, static_cast<DWORD>(JOB_STATUS_DELETED));
}

TEST_F(JobsTest, ClosingWithAnOpenDocumentPrintsIt) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"USB001");
    DOC_INFO_1W info{const_cast<LPWSTR>(u"doc"), nullptr, nullptr};
    ASSERT_NE(StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    DWORD written = 0;
    WritePrinter(printer, const_cast<char*>("abc"), 3, &written);
    ASSERT_TRUE(ClosePrinter(printer));
    EXPECT_EQ(Text(HostPortBytes(u"USB001")), "abc");
}

TEST_F(JobsTest, APausedPrinterHoldsJobsUntilResumedAndPurgeDropsThem) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"USB001");
    ASSERT_TRUE(SetPrinterW(printer, 0, nullptr, PRINTER_CONTROL_PAUSE));
    ASSERT_NE(PrintDocument(printer, u"one", {"1"}), 0u);
    ASSERT_NE(PrintDocument(printer, u"two", {"2"}), 0u);
    EXPECT_TRUE(HostPortBytes(u"USB001").empty());
    ASSERT_TRUE(SetPrinterW(printer, 0, nullptr, PRINTER_CONTROL_RESUME));
    EXPECT_EQ(Text(HostPortBytes(u"USB001")), "12"); // in the order they were queued

    ASSERT_TRUE(SetPrinterW(printer, 0, nullptr, PRINTER_CONTROL_PAUSE));
    ASSERT_NE(PrintDocument(printer, u"three", {"3"}), 0u);
    ASSERT_TRUE(SetPrinterW(printer, 0, nullptr, PRINTER_CONTROL_PURGE));
    ASSERT_TRUE(SetPrinterW(printer, 0, nullptr, PRINTER_CONTROL_RESUME));
    EXPECT_EQ(Text(HostPortBytes(u"USB001")), "12");
    EXPECT_EQ(HostJobs(u"VELT").back().status, static_cast<DWORD>(JOB_STATUS_DELETED));
}

TEST_F(JobsTest, CancellingWhileOnTheWayStopsTheBytesButStillEndsThePortDocument) {
    static HANDLE admin;
    static DWORD job;
    admin = AddTestPrinter(u"VELT", u"VELT", u"REC:x");
    RecordingBackend::Get().takePerWrite = 2;
    RecordingBackend::Get().duringWrite = [] { SetJobW(admin, job, 0, nullptr, JOB_CONTROL_CANCEL); };
    DOC_INFO_1W info{const_cast<LPWSTR>(u"doc"), nullptr, nullptr};
    job = StartDocPrinterW(admin, 1, reinterpret_cast<LPBYTE>(&info));
    DWORD written = 0;
    WritePrinter(admin, const_cast<char*>("abcdefgh"), 8, &written);
    ASSERT_TRUE(EndDocPrinter(admin));
    EXPECT_EQ(RecordingBackend::Get().bytes, "ab");
    EXPECT_EQ(RecordingBackend::Get().calls.back(), "ClosePort");
    EXPECT_EQ(RecordingBackend::Get().calls[RecordingBackend::Get().calls.size() - 2], "EndDocPort");
    EXPECT_EQ(OnlyJob(u"VELT").status, static_cast<DWORD>(JOB_STATUS_DELETED));
}

TEST_F(JobsTest, JobInformationAndStatusTextFromAMonitor) {
    HANDLE printer = AddTestPrinter(u"VELT", u"VELT", u"USB001");
    ASSERT_TRUE(SetPrinterW(printer, 0, nullptr, PRINTER_CONTROL_PAUSE));
    const DWORD first = PrintDocument(printer, u"first", {"abc", "de"});
    const DWORD second = PrintDocument(printer, u"second", {"x"});

    DWORD needed = 1, returned = 1;
    // A selection with no job needs no buffer.
    EXPECT_TRUE(EnumJobsW(printer, 5, 10, 1, nullptr, 0, &needed, &returned));
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(returned, 0u);
    EXPECT_FALSE(EnumJobsW(printer, 0, 10, 1, nullptr, 0, &needed, &returned));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_GT(needed, 2 * sizeof(JOB_INFO_1W));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumJobsW(printer, 0, 10, 1, buffer.data(), needed, &needed, &returned));
    ASSERT_EQ(returned, 2u);
    const auto* jobs = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    EXPECT_EQ(jobs[0].JobId, first);
    EXPECT_EQ(std::u16string(jobs[0].pDocument), u"first");
    EXPECT_EQ(std::u16string(jobs[0].pPrinterName), u"VELT");
    EXPECT_EQ(jobs[0].TotalPages, 2u);
    EXPECT_EQ(jobs[0].Position, 1u);
    EXPECT_EQ(jobs[1].JobId, second);
    EXPECT_EQ(jobs[1].Position, 2u);
    EXPECT_EQ(jobs[0].Submitted.wYear, 2024);

    JOB_INFO_1W update = jobs[1];
    update.pStatus = const_cast<LPWSTR>(u"-Out of Paper");
    update.Status = JOB_STATUS_PAPEROUT | JOB_STATUS_PRINTING; // the spooler's own bits are not taken
    ASSERT_TRUE(SetJobW(printer, second, 1, reinterpret_cast<LPBYTE>(&update), 0));

    ASSERT_FALSE(GetJobW(printer, second, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    buffer.assign(needed, 0);
    ASSERT_TRUE(GetJobW(printer, second, 2, buffer.data(), needed, &needed));
    const auto* two = reinterpret_cast<const JOB_INFO_2W*>(buffer.data());
    EXPECT_EQ(std::u16string(two->pStatus), u"-Out of Paper");
    EXPECT_EQ(two->Status, static_cast<DWORD>(JOB_STATUS_PAPEROUT));
    EXPECT_EQ(two->Size, 1u);
    EXPECT_EQ(HostJobs(u"VELT")[1].statusText, u"-Out of Paper");

    EXPECT_FALSE(GetJobW(printer, 999, 1, buffer.data(), needed, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(GetJobW(printer, first, 3, buffer.data(), needed, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));

    ASSERT_TRUE(SetJobW(printer, first, 0, nullptr, JOB_CONTROL_DELETE));
    ASSERT_TRUE(EnumJobsW(printer, 0, 10, 1, buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &returned));
    EXPECT_EQ(returned, 1u);
}

} // namespace
