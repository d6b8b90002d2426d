// Whole documents through the entry points: every byte the driver sends for the page and document
// endings of each setting, the raster blocks of mono and two-colour pages, standard mode's blank runs
// and page mode's areas.
#include "driver_harness.h"

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000; // one byte 255, two bytes 0

using DocumentStream = RenderTest;

Picture Blank(int width, int rows) { return Picture(width, rows); }

// A line whose first eight dots are printed: shows that pairs are exchanged (dots at byte 5).
Bytes MarkerLine() {
    Bytes line(80, 0);
    line[4] = 0xFF;
    return line;
}

TEST_F(DocumentStream, OnePageMonoPageModeCutEachPage) {
    Picture page = RowsPicture(576, 220, [](int y) { return y < 10 ? kBlack : kWhite; });
    for (int x = 0; x < 8; ++x) {
        page.Set(x, 10, 0, 0, 0);
    }
    std::vector<PrinterLine> rows(10, PrinterLine::Mono().Black(0, 576));
    rows.push_back(PrinterLine(MarkerLine()));
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(220).Raster(0, rows); // the 209 blank rows are left out
    expected.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(JobSettings::Rows(220), {page}), expected));
}

TEST_F(DocumentStream, OnePageTwoColour) {
    JobSettings settings = JobSettings::Rows(220);
    settings.colour = 2;
    Picture page = RowsPicture(576, 220, [](int y) { return y < 3 ? kRed : y < 5 ? kBlack : kWhite; });
    std::vector<PrinterLine> rows(3, PrinterLine::TwoColour().Colour(0, 576));
    rows.insert(rows.end(), 2, PrinterLine::TwoColour().Black(0, 576));
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(220).Raster(2, rows);
    expected.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {page}), expected));
}

TEST_F(DocumentStream, PageModeBlocksHoldVerticalDotCountRows) {
    SetVerticalDotCount(4);
    Picture page = RowsPicture(576, 220, [](int y) { return y < 10 ? kBlack : kWhite; });
    const PrinterLine black = PrinterLine::Mono().Black(0, 576);
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(220);
    expected.Raster(0, black, 4).Raster(0, black, 4).Raster(0, black, 2);
    expected.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(JobSettings::Rows(220), {page}), expected));
}

TEST_F(DocumentStream, DualSideTwoPages) {
    JobSettings settings; // 500 long, dual side: 32 rows
    settings.duplex = 2;
    PrinterStream expected;
    expected.Initialise().SideMode(2).SelectSide(0).PageModeArea(32);
    expected.SelectSide(1).PageModeArea(32);
    expected.EndSheet().SelectSide(0).Feed(368).SelectSide(1).Feed(368).Cut();
    expected.Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {Blank(576, 32), Blank(576, 32)}), expected));
}

TEST_F(DocumentStream, DualSideThreePagesEndsTheHalfSheet) {
    JobSettings settings;
    settings.duplex = 2;
    PrinterStream expected;
    expected.Initialise().SideMode(2).SelectSide(0).PageModeArea(32);
    expected.SelectSide(1).PageModeArea(32);
    expected.EndSheet().SelectSide(0).Feed(368).SelectSide(1).Feed(368).Cut();
    expected.SelectSide(0).PageModeArea(32);
    expected.EndSheet().Feed(368).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {Blank(576, 32), Blank(576, 32), Blank(576, 32)}), expected));
}

TEST_F(DocumentStream, DualSideCutAtEndOfDocument) {
    JobSettings settings;
    settings.duplex = 2;
    settings.cuttingControl = 1;
    PrinterStream expected;
    expected.Initialise().SideMode(2).SelectSide(0).PageModeArea(32);
    expected.SelectSide(1).PageModeArea(32);
    expected.EndSheet().SelectSide(0).Feed(368).SelectSide(1).Feed(368);
    expected.Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {Blank(576, 32), Blank(576, 32)}), expected));
}

TEST_F(DocumentStream, StandardModeBlankRunsBecomeFeeds) {
    JobSettings settings = JobSettings::Rows(45);
    settings.pageModeControl = 1;
    Picture page = RowsPicture(576, 45, [](int y) { return y < 30 || y >= 40 ? kBlack : kWhite; });
    const PrinterLine black = PrinterLine::Mono().Black(0, 576);
    PrinterStream expected;
    expected.Initialise().SideMode(0).StandardMode();
    expected.Raster(0, black, 24);          // full at row 24
    expected.Raster(0, black, 6);           // row 31, the first blank one, sends what is held
    expected.Raw({0x1B, 0x33, 0x0A, 0x0A}); // row 41: the ten blank rows as one feed
    expected.Raster(0, black, 5);           // the last row
    expected.Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {page}), expected));
}

TEST_F(DocumentStream, StandardModeDropsBlankRowsAtThePageEnd) {
    JobSettings settings = JobSettings::Rows(5);
    settings.pageModeControl = 1;
    const PrinterLine black = PrinterLine::Mono().Black(0, 576);
    // Rows 1-3 printed, 4-5 blank: no feed for the blank end.
    Picture trailing = RowsPicture(576, 5, [](int y) { return y < 3 ? kBlack : kWhite; });
    PrinterStream first;
    first.Initialise().SideMode(0).StandardMode().Raster(0, black, 3).Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {trailing}), first));
    // Rows 1-2 printed, 3-4 blank, 5 printed: the run before the last row is fed, so that the last
    // row lands where it was drawn.
    Picture beforeLast = RowsPicture(576, 5, [](int y) { return y < 2 || y == 4 ? kBlack : kWhite; });
    PrinterStream second;
    second.Initialise().SideMode(0).StandardMode().Raster(0, black, 2).Feed(2).Raster(0, black, 1);
    second.Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {beforeLast}), second));
}

TEST_F(DocumentStream, BlankPagesSendNoRasterInEitherMode) {
    for (SHORT mode : {0, 1}) {
        JobSettings settings = JobSettings::Rows(220);
        settings.pageModeControl = mode;
        PrinterStream expected;
        expected.Initialise().SideMode(0);
        if (mode == 0) {
            expected.PageModeArea(220).FormFeed();
        } else {
            expected.StandardMode();
        }
        expected.Feed(180).Cut().Initialise();
        EXPECT_TRUE(SameStream(PrintDocument(settings, {Blank(576, 220)}), expected)) << "mode " << mode;
    }
}

TEST_F(DocumentStream, PageModeAreaOfExactlyTwoThousandRows) {
    Picture page = RowsPicture(576, 2000, [](int y) { return y == 0 ? kBlack : kWhite; });
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(2000).Raster(0, PrinterLine::Mono().Black(0, 576), 1);
    expected.FormFeed().PageModeArea(0); // the next area holds no rows
    expected.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(JobSettings::Rows(2000), {page}), expected));
}

TEST_F(DocumentStream, PageModeAreasOfALongPage) {
    Picture page = RowsPicture(576, 4500, [](int y) { return y % 2000 == 0 ? kBlack : kWhite; });
    const PrinterLine black = PrinterLine::Mono().Black(0, 576);
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(2000).Raster(0, black, 1);
    expected.FormFeed().PageModeArea(2500).Raster(0, black, 1);
    expected.FormFeed().PageModeArea(500).Raster(0, black, 1);
    expected.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(JobSettings::Rows(4500), {page}), expected));
}

TEST_F(DocumentStream, RollOfNoClassSendsNoRows) {
    JobSettings settings;
    settings.paperWidth = 2100;
    Picture black(1680, 220, 0);
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(220).FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {black}), expected));
}

TEST_F(DocumentStream, DuplexThreeCutsEverySecondPage) {
    JobSettings settings; // no feed margin: 400 - 140 = 260 rows
    settings.duplex = 3;
    PrinterStream expected;
    expected.Initialise().PageModeArea(260).FormFeed(); // each area is printed
    expected.PageModeArea(260).FormFeed().Feed(180).Cut();
    expected.Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {Blank(576, 260), Blank(576, 260)}), expected));
}

TEST_F(DocumentStream, SingleSideCutAtEndPageMode) {
    JobSettings settings = JobSettings::Rows(220);
    settings.cuttingControl = 1;
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(220).FormFeed().Feed(40);
    expected.Feed(140).PageModeArea(220).FormFeed().Feed(40);
    expected.Feed(140).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {Blank(576, 220), Blank(576, 220)}), expected));
}

TEST_F(DocumentStream, SingleSideCutAtEndStandardMode) {
    JobSettings settings = JobSettings::Rows(220);
    settings.cuttingControl = 1;
    settings.pageModeControl = 1;
    PrinterStream expected;
    expected.Initialise().SideMode(0).StandardMode();
    expected.StandardMode();
    expected.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {Blank(576, 220), Blank(576, 220)}), expected));
}

// A page-mode setting other than 0 or 1 (a hand-made device mode) sends neither mode command; its rows
// go out as in standard mode, and the end of the document feeds the page-mode margin without a form feed.
TEST_F(DocumentStream, PageModeSettingOtherThanZeroOrOneSendsNoModeCommand) {
    JobSettings settings = JobSettings::Rows(220);
    settings.cuttingControl = 1;
    settings.pageModeControl = 2;
    Picture page = RowsPicture(576, 220, [](int y) { return y < 10 ? kBlack : kWhite; });
    PrinterStream expected;
    expected.Initialise().SideMode(0).Raster(0, PrinterLine::Mono().Black(0, 576), 10);
    expected.Feed(140).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {page, Blank(576, 220)}), expected));

    settings.cuttingControl = 0;
    PrinterStream cutEachPage;
    cutEachPage.Initialise().SideMode(0).Feed(180).Cut().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {Blank(576, 220), Blank(576, 220)}), cutEachPage));
}

TEST_F(DocumentStream, SingleSideCutEachPageStandardModeTwoPages) {
    JobSettings settings = JobSettings::Rows(220);
    settings.pageModeControl = 1;
    PrinterStream expected;
    expected.Initialise().SideMode(0).StandardMode().Feed(180).Cut();
    expected.StandardMode().Feed(180).Cut();
    expected.Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {Blank(576, 220), Blank(576, 220)}), expected));
}

TEST_F(DocumentStream, LandscapePageLeftmostColumnIsTheFirstRow) {
    JobSettings settings;
    settings.orientation = 2;
    settings.paperWidth = 800;
    settings.paperLength = 2000;
    Picture page(1420, 576);
    for (int y = 0; y < 576; ++y) {
        page.Set(0, y, 0, 0, 0);
    }
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(1420).Raster(0, PrinterLine::Mono().Black(0, 576), 1);
    expected.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {page}), expected));
}

TEST_F(DocumentStream, FiftyEightMillimetreLinesSitAtBytesTwentyFourOn) {
    JobSettings settings;
    settings.paperWidth = 580;
    settings.paperLength = 500; // 220 rows of 432 dots
    settings.colour = 2;
    Picture page = RowsPicture(432, 220, [](int y) { return y == 0 ? kBlack : kWhite; });
    Bytes line(160, 0);
    for (int i = 24; i < 78; ++i) {
        line[i] = 0xFF;
        line[80 + i] = 0xFF;
    }
    PrinterStream expected;
    expected.Initialise().SideMode(0).PageModeArea(220).Raster(2, {PrinterLine(line)});
    expected.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(SameStream(PrintDocument(settings, {page}), expected));
}

} // namespace
