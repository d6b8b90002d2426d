// Inputs the driver must survive: a missing, zero or oversized VerticalDotCount, failed writes and
// allocations, a page longer than 16-bit arithmetic holds, two documents at once, a device reset in the
// middle of a document, and band lists or rasters that are not what the page output expects.
#include "driver_harness.h"
#include "row_takers.h"

namespace {

using Soundness = RenderTest;

Picture BlackRows(int width, int height, int blackRows) {
    Picture p(width, height);
    for (int y = 0; y < blackRows; ++y) {
        for (int x = 0; x < width; ++x) {
            p.Set(x, y, 0, 0, 0);
        }
    }
    return p;
}

// What a one-page document sends when its page output stops before any row: the page start and
// DrvEndDoc's initialise.
Bytes PageStartOnly(int rows) {
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(rows).Initialise();
    return expected;
}

TEST_F(Soundness, MissingVerticalDotCountSendsNothingOfThePage) {
    RemoveVerticalDotCount();
    EXPECT_TRUE(
        SameStream(PrintDocument(JobSettings::Rows(220), {BlackRows(576, 220, 10)}, false), PageStartOnly(220)));
}

TEST_F(Soundness, ZeroVerticalDotCountIsRefusedLikeAMissingOne) {
    SetVerticalDotCount(0);
    EXPECT_TRUE(
        SameStream(PrintDocument(JobSettings::Rows(220), {BlackRows(576, 220, 10)}, false), PageStartOnly(220)));
    JobSettings standard = JobSettings::Rows(220);
    standard.pageModeControl = 1;
    PrinterStream expected;
    expected.Initialise().SideMode(0).StandardMode().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(standard, {BlackRows(576, 220, 10)}, false), expected));
}

TEST_F(Soundness, VerticalDotCountReadsFourBytesWhateverItsType) {
    const BYTE two[] = {3, 0};
    SetVerticalDotCountValue(REG_BINARY, two, sizeof two);
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(220);
    expected.Raster(0, PrinterLine::Mono().Black(0, 576), 3).Raster(0, PrinterLine::Mono().Black(0, 576), 2);
    expected.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(JobSettings::Rows(220), {BlackRows(576, 220, 5)}), expected));
}

TEST_F(Soundness, BlocksOfTwoHundredFiftyFiveRowsAreRefusedShorterOnesStillGo) {
    SetVerticalDotCount(300);
    // Page mode: 260 printed rows make one block of 260, which the printer could not be told.
    EXPECT_TRUE(
        SameStream(PrintDocument(JobSettings::Rows(300), {BlackRows(576, 300, 260)}, false), PageStartOnly(300)));
    // Standard mode: runs cut short by blank rows and by the page end go out.
    JobSettings standard = JobSettings::Rows(45);
    standard.pageModeControl = 1;
    Picture page = RowsPicture(576, 45, [](int y) { return y < 30 || y >= 40 ? 0x000000u : 0xFFFFFFu; });
    PrinterStream expected;
    expected.Initialise().SideMode(0).StandardMode().Raster(0, PrinterLine::Mono().Black(0, 576), 30).Feed(10);
    expected.Raster(0, PrinterLine::Mono().Black(0, 576), 5).Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(standard, {page}), expected));
}

TEST_F(Soundness, TheLongestPageKeepsItsAreaHeightsExact) {
    // 32767 tenths of a millimetre: 26213 dots, 26033 rows; thirteen areas of 2000 and one of 33.
    JobSettings settings;
    settings.paperLength = 32767;
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(2000);
    for (int k = 1; k <= 13; ++k) {
        expected.FormFeed().PageModeArea(26033 - k * 2000);
    }
    expected.Raster(0, PrinterLine::Mono().Black(0, 576), 1).FormFeed().Feed(180).Cut().Initialise();
    Picture page(576, 26033);
    for (int x = 0; x < 576; ++x) {
        page.Set(x, 26000, 0, 0, 0); // the first row of the last area; the blank rows after it are left out
    }
    EXPECT_TRUE(SameStream(PrintDocument(settings, {page}), expected));
}

TEST_F(Soundness, TwoDocumentsAtOnceCountTheirOwnPages) {
    JobSettings settings;
    settings.duplex = 2;
    const Picture page(576, 32);
    const Bytes alone = PrintDocument(settings, {page, page, page});

    // A second printer and job, and the two documents' calls interleaved.
    const auto otherPort = Folder() / "other.bin";
    HANDLE other = AddTestPrinter(u"Calvix Other", u"VELT", u"FILE:" + HostWide(otherPort.string()));
    ASSERT_NE(other, nullptr);
    std::u16string document = u"Other", datatype = u"RAW";
    DOC_INFO_1W doc{document.data(), nullptr, datatype.data()};
    ASSERT_NE(StartDocPrinterW(other, 1, reinterpret_cast<LPBYTE>(&doc)), 0u);
    StartJob();
    {
        Device first(printer(), settings);
        Device second(other, settings);
        ASSERT_TRUE(first.ok() && second.ok());
        DrvStartDoc(first.surface(), nullptr, 1);
        DrvStartDoc(second.surface(), nullptr, 2);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(first.Page(page));
            EXPECT_TRUE(second.Page(page));
        }
        EXPECT_TRUE(DrvEndDoc(second.surface(), 0));
        EXPECT_TRUE(DrvEndDoc(first.surface(), 0));
    }
    EXPECT_TRUE(SameStream(EndJob(), alone));
    EXPECT_TRUE(EndDocPrinter(other));
    EXPECT_TRUE(SameStream(ReadBytes(otherPort), alone));
    ClosePrinter(other);
}

TEST_F(Soundness, AResetInTheMiddleOfADocumentGoesOnWithItsPages) {
    JobSettings settings;
    settings.duplex = 2;
    const Picture page(576, 32);
    const Bytes continuous = PrintDocument(settings, {page, page});

    StartJob();
    {
        auto before = std::make_unique<Device>(printer(), settings);
        DrvStartDoc(before->surface(), nullptr, 1);
        EXPECT_TRUE(before->Page(page));
        auto after = std::make_unique<Device>(printer(), settings);
        EXPECT_TRUE(DrvResetPDEV(reinterpret_cast<DHPDEV>(&before->pdev()), reinterpret_cast<DHPDEV>(&after->pdev())));
        before.reset();
        DrvStartDoc(after->surface(), nullptr, 1);
        EXPECT_TRUE(after->Page(page));
        EXPECT_TRUE(DrvEndDoc(after->surface(), 0));
    }
    EXPECT_TRUE(SameStream(EndJob(), continuous));
}

TEST_F(Soundness, FailedWritesStopThePageAndPageCountStaysRight) {
    StartJob();
    {
        Device device(printer(), JobSettings::Rows(220));
        ASSERT_TRUE(device.ok());
        HostFailPrinterWrite(2); // the side mode of the first page
        EXPECT_FALSE(DrvStartPage(device.surface()));
        EXPECT_EQ(device.pdev().PageCount, 0);
        EXPECT_TRUE(DrvStartPage(device.surface()));
        EXPECT_EQ(device.pdev().PageCount, 1);
        HostFailPrinterWrite(1);
        EXPECT_TRUE(DrvEndDoc(device.surface(), 0)); // a failed initialise is ignored
        EXPECT_EQ(device.pdev().PageCount, 0);
    }
    PrinterStream expected;
    expected.Initialise().Initialise().SideMode(0).PageModeArea(220);
    EXPECT_TRUE(SameStream(EndJob(), expected));
}

// A page output that fails part way (a write refused at any point of the page, VerticalDotCount
// unusable, no row buffer) makes DrvNextBand fail, so the engine fails the job instead of calling it
// printed.
TEST_F(Soundness, AFailedPageOutputFailsNextBand) {
    struct Case {
        const char* what;
        std::function<void(RenderTest&)> arm;
    };
    const Case cases[] = {
        {"first raster block refused", [](RenderTest&) { HostFailPrinterWrite(1); }},
        {"second raster block refused", [](RenderTest&) { HostFailPrinterWrite(2); }},
        {"a middle raster block refused", [](RenderTest&) { HostFailPrinterWrite(6); }},
        {"the page output's row buffer refused", [](RenderTest&) { HostFailAllocation(3); }},
        {"VerticalDotCount 0", [](RenderTest& t) { t.SetVerticalDotCount(0); }},
        {"VerticalDotCount 255", [](RenderTest& t) { t.SetVerticalDotCount(255); }},
        {"VerticalDotCount 1000", [](RenderTest& t) { t.SetVerticalDotCount(1000); }},
        {"VerticalDotCount missing", [](RenderTest& t) { t.RemoveVerticalDotCount(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetVerticalDotCount(24);
        StartJob();
        {
            Device device(printer(), JobSettings::Rows(300));
            ASSERT_TRUE(device.ok());
            ASSERT_TRUE(DrvStartPage(device.surface()));
            POINTL origin{};
            ASSERT_TRUE(DrvStartBanding(device.surface(), &origin));
            std::memset(device.surface()->pvScan0, 0, 576 * 3 * 260); // 260 black rows: eleven blocks
            c.arm(*this);
            EXPECT_FALSE(DrvNextBand(device.surface(), &origin));
            HostFailPrinterWrite(0);
            HostFailAllocation(0);
        }
        EndJob();
    }
}

// A spooler that takes only part of a write is given the rest: the stream is the same as with whole
// writes, however few bytes each call takes.
TEST_F(Soundness, ShortWritesAreCompletedByteForByte) {
    JobSettings settings = JobSettings::Rows(220);
    settings.colour = DMCOLOR_COLOR;
    const std::vector<Picture> pages{BlackRows(576, 220, 30), BlackRows(576, 220, 3)};
    const Bytes whole = PrintDocument(settings, pages);
    for (DWORD most : {1u, 7u, 80u, 4096u}) {
        SCOPED_TRACE(most);
        HostLimitPrinterWrite(most);
        EXPECT_TRUE(SameStream(PrintDocument(settings, pages), whole));
        HostLimitPrinterWrite(0);
    }
}

TEST_F(Soundness, NextBandWithoutMemoryQueuesNothingAndLeavesTheSurface) {
    StartJob();
    const long heapBefore = HostHeapBlocksInUse();
    {
        Device device(printer(), JobSettings::Rows(220));
        ASSERT_TRUE(device.ok());
        ASSERT_TRUE(DrvStartPage(device.surface()));
        POINTL origin{};
        ASSERT_TRUE(DrvStartBanding(device.surface(), &origin));
        auto* first = static_cast<BYTE*>(device.surface()->pvScan0);
        first[0] = first[1] = first[2] = 0; // one black dot in the top-left corner
        // The band and its raster: each refused in turn leaves no band and the page on the surface.
        for (unsigned nth = 1; nth <= 2; ++nth) {
            HostFailAllocation(nth);
            EXPECT_FALSE(DrvNextBand(device.surface(), &origin)) << "allocation " << nth;
            HostFailAllocation(0);
            EXPECT_EQ(device.pdev().pBandHead, nullptr);
            ASSERT_EQ(first[0], 0) << "the surface is not erased";
        }
        EXPECT_TRUE(DrvNextBand(device.surface(), &origin));
    }
    EXPECT_EQ(HostHeapBlocksInUse(), heapBefore);
    Bytes dot(80, 0);
    dot[4] = 0x80;
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(220).Raster(0, {PrinterLine(dot)});
    expected.FormFeed().Feed(180).Cut();
    EXPECT_TRUE(SameStream(EndJob(), expected));
}

TEST_F(Soundness, ColourOtherThanMonoOrTwoColourIsNotSent) {
    StartJob();
    {
        Device device(printer(), JobSettings::Rows(220));
        ASSERT_TRUE(device.ok());
        device.pdev().dmWork.dmPublic.dmColor = 3;
        EXPECT_FALSE(device.Page(BlackRows(576, 220, 5)));
        EXPECT_FALSE(device.lastNextBand());
    }
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(220);
    EXPECT_TRUE(SameStream(EndJob(), expected));
}

TEST_F(Soundness, ABandAfterThePageWasSentStartsANewList) {
    StartJob();
    {
        Device device(printer(), JobSettings::Rows(220));
        ASSERT_TRUE(device.ok());
        ASSERT_TRUE(device.Page(Picture(576, 220)));
        // The engine asks for one more band of the same page: cBand is 2, the list is empty.
        POINTL origin{};
        EXPECT_TRUE(DrvNextBand(device.surface(), &origin));
        EXPECT_EQ(device.pdev().pBandHead, nullptr);
    }
    EndJob();
}

TEST_F(Soundness, ARasterEndingInsideARowSendsOnlyWholeRows) {
    StartJob();
    {
        Device device(printer(), JobSettings::Rows(1)); // a page of one row
        ASSERT_TRUE(device.ok());
        auto* raster = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 100));
        auto* node = static_cast<BAND_NODE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(BAND_NODE)));
        std::memset(raster, 0xFF, 100); // one row of 72 bytes and 28 of the next
        *node = BAND_NODE{raster, nullptr, 100};
        device.pdev().pBandHead = device.pdev().pBandTail = node;
        device.pdev().PageCount = 1;
        EXPECT_TRUE(PageOutput(device.surface()));
        EXPECT_EQ(device.pdev().pBandHead, nullptr);
    }
    PrinterStream expected;
    expected.Raster(0, PrinterLine::Mono().Black(0, 576), 1).FormFeed().Feed(180).Cut();
    EXPECT_TRUE(SameStream(EndJob(), expected));
}

TEST_F(Soundness, RowTakersRefuseWhatTheyCannotHold) {
    Device device(printer(), JobSettings::Rows(220));
    ASSERT_TRUE(device.ok());
    const Bytes line = PrinterLine::Mono().Black(0, 576).Data();
    // No row buffer outside a page output.
    EXPECT_FALSE(PutRowStandard(device.pdev(), 0, line.data(), 80, 24, 1));
    EXPECT_FALSE(PutRowPageMode(device.pdev(), 0, line.data(), 80, 24, 1));
    // A line of a length the printer does not take.
    EXPECT_FALSE(PutRowPageMode(device.pdev(), 2, line.data(), 80, 24, 1));
}

TEST_F(Soundness, AWholeDocumentLeavesNoMemoryOrEngineObjectsBehind) {
    const long heapBefore = HostHeapBlocksInUse();
    const HostEngineCounts engineBefore = HostEngineLiveObjects();
    JobSettings landscape;
    landscape.orientation = 2;
    landscape.paperLength = 2000;
    landscape.colour = 2;
    PrintDocument(landscape, {PhotoLikePicture(1420, 576), PhotoLikePicture(1420, 576)});
    EXPECT_EQ(HostHeapBlocksInUse(), heapBefore);
    EXPECT_EQ(HostEngineLiveObjects(), engineBefore);
}

} // namespace
