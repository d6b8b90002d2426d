// The engine's printing road with a test driver: the order of the calls, the pictures in the bands,
// the bounded band loop, and every failure reported, aborted and cleaned up.
#include <cstring>

#include "engine_test_support.h"
#include "host_fixture.h"
#include "test_driver.h"

namespace {

constexpr char16_t kPrinter[] = u"Engine Test";
constexpr char16_t kModule[] = u"EngineTestDriver";

class PrintSession : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        module_ = LoadLibraryW(kModule);
        ASSERT_NE(module_, nullptr);
        auto get = reinterpret_cast<PFN_GetTestDriverState>(
            reinterpret_cast<void (*)()>(GetProcAddress(module_, "GetTestDriverState")));
        ASSERT_NE(get, nullptr);
        driver_ = get();
        std::memset(driver_, 0, sizeof *driver_);
        driver_->pageWidth = 16;
        driver_->pageHeight = 12;
        driver_->bandHeight = 6;
        port_ = Folder() / "port.bin";
        HANDLE printer = AddTestPrinter(kPrinter, u"Engine Test Driver", u"FILE:" + HostWide(port_.string()));
        ASSERT_NE(printer, nullptr);
        ClosePrinter(printer);
        before_ = HostEngineLiveObjects();
    }
    void TearDown() override {
        EXPECT_EQ(HostEngineLiveObjects(), before_) << "engine objects left behind";
        if (module_) FreeLibrary(module_);
        HostTest::TearDown();
    }

    HostPrintJob Job(std::vector<const HostPicture*> pictures, HostPlacement placement = HostPlacement::TopLeft) {
        HostPrintJob job;
        job.printer = kPrinter;
        job.driverModule = kModule;
        for (const HostPicture* p : pictures) job.pages.push_back({p, placement});
        return job;
    }
    std::string Calls() const { return driver_->calls; }
    std::string PortBytes() const {
        auto bytes = ReadBytes(port_);
        return std::string(bytes.begin(), bytes.end());
    }
    // The last page the driver saw, '.' white, '#' black, '?' other.
    std::string Page() const {
        std::string text;
        for (LONG y = 0; y < driver_->pageHeight; ++y) {
            for (LONG x = 0; x < driver_->pageWidth; ++x) {
                ULONG c = driver_->page[y * 128 + x];
                text += c == 0xFFFFFF ? '.' : c == 0 ? '#' : '?';
            }
            text += '\n';
        }
        return text;
    }

    HMODULE module_ = nullptr;
    TestDriverState* driver_ = nullptr;
    std::filesystem::path port_;
    HostEngineCounts before_;
};

TEST_F(PrintSession, CallsTheDriverInThePlatformsOrderAndSendsTheJob) {
    HostPicture page = HostPicture::Filled(4, 4, 0);
    std::vector<std::pair<size_t, size_t>> progress;
    HostPrintJob job = Job({&page, &page});
    job.onPage = [&](size_t done, size_t total) { progress.emplace_back(done, total); };
    HostPrintResult result = HostPrintPages(job);
    ASSERT_TRUE(result.ok) << result.Message();
    EXPECT_EQ(result.pagesPrinted, 2u);
    EXPECT_NE(result.jobId, 0u);
    const std::string page2Bands =
        "DrvStartPage\nDrvStartBanding\nDrvCopyBits\nDrvNextBand\nDrvCopyBits\nDrvNextBand\n";
    EXPECT_EQ(Calls(), "DrvEnableDriver\nDrvEnablePDEV\nDrvCompletePDEV\nDrvEnableSurface\nDrvStartDoc\n" + page2Bands +
                           page2Bands + "DrvEndDoc\nDrvDisableSurface\nDrvDisablePDEV\nDrvDisableDriver\n");
    EXPECT_EQ(progress, (std::vector<std::pair<size_t, size_t>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(PortBytes(), "S11S22E");
    auto jobs = HostJobs(kPrinter);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].id, result.jobId);
    EXPECT_EQ(jobs[0].pages, 2u);
    EXPECT_EQ(jobs[0].size, 7u);
    EXPECT_NE(driver_->printer, nullptr);
    EXPECT_STREQ(driver_->deviceName, "Engine Test");
}

TEST_F(PrintSession, APictureLandsAtTheTopLeftCroppedToThePage) {
    HostPicture picture = HostPicture::Filled(20, 8, 0xFFFFFF);
    picture.FillRect(0, 0, 20, 1, 0); // a top row wider than the page
    picture.FillRect(2, 5, 4, 8, 0);  // a block across the first band's lower edge
    picture.SetPixel(15, 7, 0);
    ASSERT_TRUE(HostPrintPages(Job({&picture})).ok);
    EXPECT_EQ(Page(), Rows({"################", "................", "................", "................",
                            "................", "..##............", "..##............", "..##...........#",
                            "................", "................", "................", "................"}));
}

TEST_F(PrintSession, FitToWidthScalesThePictureToThePrintableWidth) {
    HostPicture picture = HostPicture::Filled(8, 2, 0xFFFFFF);
    picture.SetPixel(0, 0, 0);
    picture.SetPixel(7, 1, 0);
    HostPrintResult result = HostPrintPages(Job({&picture}, HostPlacement::FitWidth));
    ASSERT_TRUE(result.ok) << result.Message();
    EXPECT_NE(Calls().find("DrvStretchBlt"), std::string::npos);
    EXPECT_EQ(Page(), Rows({"##..............", "##..............", "..............##", "..............##",
                            "................", "................", "................", "................",
                            "................", "................", "................", "................"}));
}

TEST_F(PrintSession, WithoutDrvCopyBitsTheEngineDrawsItself) {
    driver_->noCopyBits = true;
    HostPicture picture = HostPicture::Filled(1, 1, 0);
    ASSERT_TRUE(HostPrintPages(Job({&picture})).ok);
    EXPECT_EQ(Calls().find("DrvCopyBits"), std::string::npos);
    EXPECT_EQ(driver_->page[0], 0u);
}

TEST_F(PrintSession, ABandLoopThatNeverEndsIsStoppedAndTheJobAborted) {
    driver_->neverEndsPage = true;
    HostPicture picture = HostPicture::Filled(2, 2, 0);
    HostPrintResult result = HostPrintPages(Job({&picture}));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failedCall, "DrvNextBand");
    EXPECT_EQ(result.page, 1u);
    EXPECT_EQ(result.detail, "the driver never reported the end of the page");
    // Two bands tile the page; the engine allows twice that many.
    std::string calls = Calls();
    size_t bands = 0;
    for (size_t at = calls.find("DrvNextBand"); at != std::string::npos; at = calls.find("DrvNextBand", at + 1))
        ++bands;
    EXPECT_EQ(bands, 4u);
    EXPECT_NE(calls.find("DrvEndDoc(abort)\nDrvDisableSurface\nDrvDisablePDEV\nDrvDisableDriver\n"), std::string::npos);
    EXPECT_EQ(PortBytes(), "");
}

struct FailureCase {
    const char* call;
    int onPage;
    size_t reportedPage;
    const char* lastCalls; // how the session ends
};

class PrintFailure : public PrintSession, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PrintFailure, IsReportedAndNothingIsSentOrLeft) {
    const FailureCase& c = GetParam();
    std::snprintf(driver_->failCall, sizeof driver_->failCall, "%s", c.call);
    driver_->failOnPage = c.onPage;
    HostPicture picture = HostPicture::Filled(3, 3, 0);
    HostPrintResult result = HostPrintPages(Job({&picture, &picture}));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failedCall, c.call);
    EXPECT_EQ(result.page, c.reportedPage);
    EXPECT_EQ(result.error, static_cast<DWORD>(ERROR_GEN_FAILURE));
    std::string calls = Calls();
    EXPECT_EQ(calls.substr(calls.size() - std::strlen(c.lastCalls)), c.lastCalls) << calls;
    EXPECT_EQ(PortBytes(), "") << "an aborted job reached the port";
    for (const HostJobRecord& job : HostJobs(kPrinter)) EXPECT_NE(job.status & JOB_STATUS_DELETED, 0u);
    EXPECT_NE(result.Message().find(c.call), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCall, PrintFailure,
    ::testing::Values(
        FailureCase{"DrvEnableDriver", 0, 0, "DrvEnableDriver\n"},
        FailureCase{"DrvEnablePDEV", 0, 0, "DrvEnablePDEV\nDrvDisableDriver\n"},
        FailureCase{"DrvEnableSurface", 0, 0, "DrvEnableSurface\nDrvDisablePDEV\nDrvDisableDriver\n"},
        FailureCase{"DrvStartDoc", 0, 0, "DrvStartDoc\nDrvDisableSurface\nDrvDisablePDEV\nDrvDisableDriver\n"},
        FailureCase{"DrvStartPage", 2, 2,
                    "DrvStartPage\nDrvEndDoc(abort)\nDrvDisableSurface\nDrvDisablePDEV\nDrvDisableDriver\n"},
        FailureCase{"DrvStartBanding", 1, 1,
                    "DrvStartBanding\nDrvEndDoc(abort)\nDrvDisableSurface\nDrvDisablePDEV\nDrvDisableDriver\n"},
        FailureCase{"DrvCopyBits", 2, 2,
                    "DrvCopyBits\nDrvEndDoc(abort)\nDrvDisableSurface\nDrvDisablePDEV\nDrvDisableDriver\n"},
        FailureCase{"DrvNextBand", 1, 1,
                    "DrvNextBand\nDrvEndDoc(abort)\nDrvDisableSurface\nDrvDisablePDEV\nDrvDisableDriver\n"},
        FailureCase{"DrvEndDoc", 0, 0, "DrvEndDoc\nDrvDisableSurface\nDrvDisablePDEV\nDrvDisableDriver\n"}),
    [](const auto& info) { return std::string(info.param.call); });

TEST_F(PrintSession, ATableWithoutABandEntryIsRefused) {
    driver_->noStartBanding = true;
    HostPicture picture = HostPicture::Filled(1, 1);
    HostPrintResult result = HostPrintPages(Job({&picture}));
    EXPECT_EQ(result.failedCall, "DrvEnableDriver");
    EXPECT_EQ(result.detail, "the driver's function table has no DrvStartBanding");
    EXPECT_EQ(Calls(), "DrvEnableDriver\nDrvDisableDriver\n");
}

TEST_F(PrintSession, FailuresBeforeTheDriverName) {
    HostPicture picture = HostPicture::Filled(1, 1);
    HostPrintJob job = Job({&picture});
    job.printer = u"No Such Printer";
    EXPECT_EQ(HostPrintPages(job).failedCall, "OpenPrinterW");

    job = Job({&picture});
    job.driverModule = u"NoSuchDriverModule";
    HostPrintResult result = HostPrintPages(job);
    EXPECT_EQ(result.failedCall, "LoadLibraryW");
    EXPECT_EQ(result.detail, "the rendering driver NoSuchDriverModule");

    job = Job({});
    EXPECT_EQ(HostPrintPages(job).failedCall, "HostPrintPages");
    HostPicture empty;
    job = Job({&picture, &empty});
    result = HostPrintPages(job);
    EXPECT_EQ(result.failedCall, "HostPrintPages");
    EXPECT_EQ(result.page, 2u);
    HostPicture lying;
    lying.width = 0x7FFFFFFF; // claims far more than its pixels hold
    lying.height = 1;
    lying.stride = 4;
    lying.pixels.resize(4);
    EXPECT_EQ(HostPrintPages(Job({&lying})).failedCall, "HostPrintPages");
    EXPECT_EQ(Calls(), "");
    EXPECT_EQ(PortBytes(), "");
}

TEST_F(PrintSession, TheJobsDeviceModeReachesTheDriverByteForByte) {
    std::vector<BYTE> devmode(236, 0);
    auto* dm = reinterpret_cast<DEVMODEW*>(devmode.data());
    dm->dmSpecVersion = DM_SPECVERSION;
    dm->dmSize = 220;
    dm->dmDriverExtra = 16;
    dm->dmFields = DM_ORIENTATION;
    dm->dmOrientation = DMORIENT_LANDSCAPE;
    devmode[235] = 0x5A;
    HostPicture picture = HostPicture::Filled(1, 1);
    HostPrintJob job = Job({&picture});
    job.devmode = devmode;
    ASSERT_TRUE(HostPrintPages(job).ok);
    ASSERT_EQ(driver_->devmodeBytes, 236u);
    EXPECT_EQ(std::memcmp(driver_->devmode, devmode.data(), 236), 0);
}

TEST_F(PrintSession, AMalformedDeviceModeIsRefusedBeforeAnyDriverCall) {
    std::vector<BYTE> devmode(220, 0);
    auto* dm = reinterpret_cast<DEVMODEW*>(devmode.data());
    dm->dmSize = 220;
    dm->dmDriverExtra = 16; // claims more than it holds
    HostPicture picture = HostPicture::Filled(1, 1);
    HostPrintJob job = Job({&picture});
    job.devmode = devmode;
    HostPrintResult result = HostPrintPages(job);
    EXPECT_EQ(result.failedCall, "HostIsValidDevmode");
    EXPECT_EQ(Calls(), "");
}

TEST_F(PrintSession, WithoutAJobDeviceModeThePrintersDefaultIsUsed) {
    std::vector<BYTE> devmode(236, 0);
    auto* dm = reinterpret_cast<DEVMODEW*>(devmode.data());
    dm->dmSpecVersion = DM_SPECVERSION;
    dm->dmSize = 220;
    dm->dmDriverExtra = 16;
    dm->dmFields = DM_COLOR;
    dm->dmColor = DMCOLOR_COLOR;
    devmode[235] = 0x77;
    HANDLE printer = AddTestPrinter(u"Engine Test Default", u"Engine Test Driver", u"FILE:" + HostWide(port_.string()),
                                    PRINTER_ALL_ACCESS, dm);
    ASSERT_NE(printer, nullptr);
    ClosePrinter(printer);
    HostPicture picture = HostPicture::Filled(1, 1);
    HostPrintJob job = Job({&picture});
    job.printer = u"Engine Test Default";
    ASSERT_TRUE(HostPrintPages(job).ok);
    ASSERT_EQ(driver_->devmodeBytes, 236u);
    // The settings and the private part as stored; the spooler may name the device itself.
    EXPECT_EQ(std::memcmp(driver_->devmode + 64, devmode.data() + 64, 236 - 64), 0);
}

TEST_F(PrintSession, FinishedJobsKeepTheirBytesOnlyWhileAsked) {
    HostPicture page = HostPicture::Filled(1, 1);
    HostPrintResult plain = HostPrintPages(Job({&page}));
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(HostJobData(kPrinter, plain.jobId, &bytes));
    HostKeepJobData(TRUE);
    HostPrintResult kept = HostPrintPages(Job({&page}));
    HostKeepJobData(FALSE);
    ASSERT_TRUE(HostJobData(kPrinter, kept.jobId, &bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "S11E");
    EXPECT_FALSE(HostJobData(u"Another Printer", kept.jobId, &bytes));
}

TEST_F(PrintSession, AllocationFailuresAnywhereAreReportedWithoutLeaks) {
    HostPicture picture = HostPicture::Filled(5, 5, 0);
    for (unsigned nth = 1; nth <= 12; ++nth) {
        HostFailAllocation(nth);
        HostPrintResult result = HostPrintPages(Job({&picture}));
        HostFailAllocation(0);
        if (!result.ok) {
            EXPECT_FALSE(result.failedCall.empty()) << "allocation " << nth;
        }
        EXPECT_EQ(HostEngineLiveObjects(), before_) << "allocation " << nth;
    }
}

} // namespace
