#include <gtest/gtest.h>

#include "job_report.h"
#include "printer_stream.h"
#include "configuration_page.h"
#include "virtual_printer.h"

using namespace vprinter;

namespace {

JobResult Print(const Bytes& stream, const PrinterState& state = {}) {
    VirtualPrinter printer(state);
    printer.Feed(stream);
    return printer.Finish();
}

// Every dot of the side that is not listed is white.
void ExpectOnlyDots(const SideImage& side, std::vector<std::tuple<int, int, Dot>> dots) {
    int set = 0;
    for (int y = 0; y < side.Rows(); ++y)
        for (int x = 0; x < side.Width(); ++x) set += side.At(x, y) != Dot::White;
    for (const auto& [x, y, dot] : dots) EXPECT_EQ(side.At(x, y), dot) << "at x " << x << ", y " << y;
    EXPECT_EQ(set, static_cast<int>(dots.size()));
}

PrinterState MonoPaper() {
    PrinterState state;
    state.twoColourPaper = false;
    return state;
}

} // namespace

TEST(VirtualPrinter, OnePageMonoPageModeJobComesOutAsOneCutPieceOfAreaPlusFeed) {
    // Wire bytes of one row: line byte 4 = 80 (paper dot 0) travels at index 5, line byte 5 = 01 (paper
    // dot 15) at index 4, line byte 75 = 01 (paper dot 575) at index 74.
    Bytes row(80, 0);
    row[5] = 0x80;
    row[4] = 0x01;
    row[74] = 0x01;
    Bytes stream{0x1B, 0x40, 0x1F, 0x60, 0x00, 0x1B, 0x4C, 0x1B, 0x57, 0x00, 0x00, 0x00, 0x00, 0x40, 0x02, 0x2C, 0x01};
    stream.insert(stream.end(), {0x1B, 0x2C, 0x00, 0x02, 0x00});
    stream.insert(stream.end(), 80, 0x00);
    stream.insert(stream.end(), row.begin(), row.end());
    stream.insert(stream.end(), {0x0C, 0x1B, 0x33, 0xB4, 0x0A, 0x1D, 0x56, 0x30, 0x1B, 0x40});

    const JobResult job = Print(stream);
    EXPECT_TRUE(job.errors.empty());
    EXPECT_TRUE(job.warnings.empty());
    ASSERT_EQ(job.pieces.size(), 1u);
    const Piece& piece = job.pieces[0];
    EXPECT_TRUE(piece.cut);
    EXPECT_FALSE(piece.dualSide);
    EXPECT_EQ(piece.Width(), 576);
    EXPECT_EQ(piece.Rows(), 300 + 180);
    ExpectOnlyDots(piece.front, {{0, 1, Dot::Black}, {15, 1, Dot::Black}, {575, 1, Dot::Black}});

    const Summary& s = job.summary;
    EXPECT_EQ(s.bytes, stream.size());
    EXPECT_EQ(s.pieces, 1u);
    EXPECT_EQ(s.pages, 1u);
    EXPECT_EQ(s.cuts, 1u);
    EXPECT_EQ(s.feeds, 1u);
    EXPECT_EQ(s.fedDots, 180u);
    EXPECT_EQ(s.rasterBlocks, 1u);
    EXPECT_EQ(s.rows, 2u);
    EXPECT_EQ(s.initialises, 2u);
}

TEST(VirtualPrinter, TwoColourRowsPrintBlackAndRedOnTwoColourPaperAndBlackOnMonoPaper) {
    const PrinterLine line = PrinterLine::TwoColour()
                                 .Dot(LineDot80(10))
                                 .Dot(LineDot80(10), 1)  // both planes: black
                                 .Dot(LineDot80(20))     // first plane alone: colour
                                 .Dot(LineDot80(30), 1); // second plane alone: black
    const Bytes stream = PrinterStream()
                             .Initialise()
                             .SideMode(0)
                             .PageMode()
                             .PrintArea(8)
                             .Raster(2, {PrinterLine::TwoColour(), line})
                             .FormFeed()
                             .Feed(180)
                             .Cut()
                             .Data();
    const JobResult colour = Print(stream);
    ASSERT_EQ(colour.pieces.size(), 1u);
    EXPECT_EQ(colour.pieces[0].Rows(), 8 + 180);
    ExpectOnlyDots(colour.pieces[0].front, {{10, 1, Dot::Black}, {20, 1, Dot::Colour}, {30, 1, Dot::Black}});

    const JobResult mono = Print(stream, MonoPaper());
    ASSERT_EQ(mono.pieces.size(), 1u);
    ExpectOnlyDots(mono.pieces[0].front, {{10, 1, Dot::Black}, {20, 1, Dot::Black}, {30, 1, Dot::Black}});
}

TEST(VirtualPrinter, On58mmPaperTheLineBytes24To77LandOnThePaper) {
    PrinterState state;
    state.paperWidth = PaperWidth::Mm58;
    const PrinterLine line = PrinterLine::Mono().Dot(LineDot58(0)).Dot(LineDot58(431)).Dot(LineDot80(0)).Dot(639);
    const JobResult job = Print(PrinterStream().Initialise().StandardMode().Raster(0, {line}).Cut().Data(), state);
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_EQ(job.pieces[0].Width(), 432);
    EXPECT_EQ(job.pieces[0].Rows(), 1);
    ExpectOnlyDots(job.pieces[0].front, {{0, 0, Dot::Black}, {431, 0, Dot::Black}});
    // The 80 mm place (line byte 4) and the last line dot lie beside 58 mm paper.
    EXPECT_EQ(job.summary.dotsBesideThePaper, 2u);
    ASSERT_EQ(job.warnings.size(), 1u);
    EXPECT_EQ(job.warnings[0].offset, 9u);
}

TEST(VirtualPrinter, StandardModeRowsPrintAsTheyArriveAndFeedsAdvanceThePaper) {
    std::vector<PrinterLine> first(30, PrinterLine::Mono());
    first[0].Dot(LineDot80(100));
    std::vector<PrinterLine> second(5, PrinterLine::Mono());
    second[4].Dot(LineDot80(200));
    const Bytes stream = PrinterStream()
                             .Initialise()
                             .SideMode(0)
                             .StandardMode()
                             .Raster(0, std::vector<PrinterLine>(first.begin(), first.begin() + 24))
                             .Raster(0, std::vector<PrinterLine>(first.begin() + 24, first.end()))
                             .Feed(10)
                             .Raster(0, second)
                             .Feed(180)
                             .Cut()
                             .Initialise()
                             .Data();
    const JobResult job = Print(stream);
    EXPECT_TRUE(job.warnings.empty());
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_EQ(job.pieces[0].Rows(), 30 + 10 + 5 + 180);
    ExpectOnlyDots(job.pieces[0].front, {{100, 0, Dot::Black}, {200, 44, Dot::Black}});
    EXPECT_EQ(job.summary.pages, 0u);
    EXPECT_EQ(job.summary.feeds, 2u);
    EXPECT_EQ(job.summary.fedDots, 190u);
    EXPECT_EQ(job.summary.rasterBlocks, 3u);
}

TEST(VirtualPrinter, AnAreaPrintsWithItsFullHeightAndDropsRowsBelowIt) {
    const Bytes shortArea = PrinterStream().PageMode().PrintArea(200).BlankRows(0, 50).FormFeed().Data();
    const JobResult job = Print(shortArea);
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_FALSE(job.pieces[0].cut);
    EXPECT_EQ(job.pieces[0].Rows(), 200);

    const Bytes overfull = PrinterStream().PageMode().PrintArea(3).BlankRows(0, 5).FormFeed().Data();
    const JobResult over = Print(overfull);
    ASSERT_EQ(over.pieces.size(), 1u);
    EXPECT_EQ(over.pieces[0].Rows(), 3);
    ASSERT_EQ(over.warnings.size(), 1u);
    // Reported at the first row that fell: the fourth of the block.
    EXPECT_EQ(Describe(over.warnings[0]),
              "offset 257 (0x101): 2 raster rows fell below the print area (3 rows high) and were not printed");
}

TEST(VirtualPrinter, APageTallerThan2000RowsPrintsAsSuccessiveAreas) {
    // The driver's areas for a 4500-row page: 2000, then 2500 and 500 rows; the printer composes at most
    // 2000, so the page comes out 4500 rows long. One row sits at the last row of the middle area.
    std::vector<PrinterLine> rows(2000, PrinterLine::Mono());
    rows[1999].Dot(LineDot80(7));
    PrinterStream builder;
    builder.Initialise().SideMode(0).PageMode().PrintArea(2000).FormFeed().PageMode().PrintArea(2500);
    for (int at = 0; at < 2000; at += 250)
        builder.Raster(0, std::vector<PrinterLine>(rows.begin() + at, rows.begin() + at + 250));
    builder.FormFeed().PageMode().PrintArea(500).FormFeed().Cut();
    const JobResult job = Print(builder.Data());
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_EQ(job.pieces[0].Rows(), 4500);
    ExpectOnlyDots(job.pieces[0].front, {{7, 3999, Dot::Black}});
    EXPECT_EQ(job.summary.pages, 3u);
    // The 500 rows the middle area declares beyond 2000 come in the next area: nothing to report.
    EXPECT_TRUE(job.warnings.empty());
}

TEST(VirtualPrinter, AnAreaCutTo2000RowsIsReportedUnlessTheNextAreaTakesItsRest) {
    // A 2500-row area printed by a form feed, then what follows it on the stream.
    const auto tallArea = [](PrinterStream& builder) -> PrinterStream& {
        return builder.Initialise().SideMode(0).PageMode().PrintArea(2500).BlankRows(0, 1).FormFeed();
    };
    const auto cutWarnings = [](const JobResult& job) {
        std::vector<uint64_t> offsets;
        for (const Notice& n : job.warnings)
            if (n.text == "print area of 2500 rows from row 0 cut to the printer's 2000 rows")
                offsets.push_back(n.offset);
        return offsets;
    };
    const std::vector<uint64_t> atTheArea{7};
    {
        PrinterStream b;
        tallArea(b).PageMode().PrintArea(500).FormFeed().Cut();
        const JobResult job = Print(b.Data());
        EXPECT_TRUE(job.warnings.empty());
        EXPECT_EQ(job.pieces.at(0).Rows(), 2500);
    }
    {
        PrinterStream b; // the rest declared one row short
        tallArea(b).PageMode().PrintArea(499).FormFeed().Cut();
        EXPECT_EQ(cutWarnings(Print(b.Data())), atTheArea);
    }
    {
        PrinterStream b; // no next area: the page ends after 2000 rows
        tallArea(b).Feed(180).Cut();
        EXPECT_EQ(cutWarnings(Print(b.Data())), atTheArea);
    }
    {
        PrinterStream b; // the stream ends between the form feed and the next area
        tallArea(b).PageMode();
        EXPECT_EQ(cutWarnings(Print(b.Data())), atTheArea);
    }
    {
        PrinterStream b; // the area is discarded rather than printed
        b.Initialise().SideMode(0).PageMode().PrintArea(2500).BlankRows(0, 1).StandardMode().PageMode().PrintArea(500);
        EXPECT_EQ(cutWarnings(Print(b.Data())), atTheArea);
    }
    {
        PrinterStream b; // the area is declared anew before it is printed
        b.Initialise().SideMode(0).PageMode().PrintArea(2500).PrintArea(500).FormFeed();
        EXPECT_EQ(cutWarnings(Print(b.Data())), atTheArea);
    }
}

TEST(VirtualPrinter, AnAreaWhoseOriginLiesBelowThePrintersRowsEndsAtThem) {
    // Origin row 54272: twelve bytes must not make 54272 rows of paper; the area ends at row 2000.
    const Bytes stream = PrinterStream()
                             .PageMode()
                             .Raw({0x1B, 0x57, 0x00, 0x00, 0x00, 0xD4, 0x40, 0x02, 0x05, 0x00})
                             .BlankRows(0, 1)
                             .FormFeed()
                             .Data();
    const JobResult job = Print(stream);
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_EQ(job.pieces[0].Rows(), 2000);
    ASSERT_EQ(job.warnings.size(), 3u);
    EXPECT_EQ(job.warnings[0].text, "print area at (0, 54272), 576 dots wide: (0, 0) and 576 dots expected");
    EXPECT_EQ(job.warnings[1].text, "print area of 5 rows from row 54272 cut to the printer's 2000 rows");
    EXPECT_NE(job.warnings[2].text.find("1 raster rows fell below the print area (0 rows high)"), std::string::npos);
}

std::vector<std::string> Described(const std::vector<Notice>& warnings) {
    std::vector<std::string> texts;
    for (const Notice& n : warnings) texts.push_back(Describe(n));
    return texts;
}

Bytes AreaAt(uint16_t x, uint16_t y, uint16_t width, uint16_t height) {
    return Bytes{0x1B,
                 0x57,
                 static_cast<uint8_t>(x),
                 static_cast<uint8_t>(x >> 8),
                 static_cast<uint8_t>(y),
                 static_cast<uint8_t>(y >> 8),
                 static_cast<uint8_t>(width),
                 static_cast<uint8_t>(width >> 8),
                 static_cast<uint8_t>(height),
                 static_cast<uint8_t>(height >> 8)};
}

TEST(VirtualPrinter, ZeroBytesBetweenCommandsAreWarnedOnceAndCounted) {
    const Bytes stream = PrinterStream().Initialise().Raw({0x00, 0x00}).Feed(10).Raw({0x00}).Cut().Data();
    const JobResult job = Print(stream);
    EXPECT_EQ(Described(job.warnings),
              (std::vector<std::string>{"offset 2 (0x2): zero byte between commands, passed over (expected only as "
                                        "the fill of a cancelled job)"}));
    EXPECT_EQ(job.summary.ignoredZeroBytes, 3u);
    EXPECT_NE(SummaryLine(job.summary).find(", 3 zero bytes, 0 errors, 1 warnings"), std::string::npos);
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_EQ(job.pieces[0].Rows(), 10);
}

TEST(VirtualPrinter, PageModeCommandsOutOfTheirOrderAreWarned) {
    // Page mode again while the area is open: ignored, the area keeps its row.
    const Bytes twice = PrinterStream().PageMode().PrintArea(10).BlankRows(0, 1).PageMode().FormFeed().Data();
    const JobResult again = Print(twice);
    EXPECT_EQ(
        Described(again.warnings),
        (std::vector<std::string>{"offset 97 (0x61): page mode ignored: a page-mode area of 1 raster rows is open"}));
    EXPECT_EQ(again.summary.pages, 1u);

    // Rows before any print area: one warning for the area, at its first row, none at its form feed.
    const Bytes rowsFirst = PrinterStream().PageMode().BlankRows(0, 2).FormFeed().PageMode().FormFeed().Data();
    const JobResult early = Print(rowsFirst);
    EXPECT_EQ(
        Described(early.warnings),
        (std::vector<std::string>{"offset 7 (0x7): raster row in page mode before any print area",
                                  "offset 170 (0xAA): form feed prints a page-mode area no print area was set for"}));
    ASSERT_EQ(early.pieces.size(), 1u);
    EXPECT_EQ(early.pieces[0].Rows(), 2);
}

TEST(VirtualPrinter, AreasOtherThanTheDriversAreWarnedAndDotsBesideThemCounted) {
    // 100 dots wide from dot 8: a dot at paper x 150 lands beside it, one at x 50 at area x 58.
    PrinterStream narrow;
    narrow.PageMode().Raw(AreaAt(8, 0, 100, 4));
    narrow.Raster(0, {PrinterLine::Mono().Dot(LineDot80(50)), PrinterLine::Mono().Dot(LineDot80(150))});
    narrow.Raster(0, {PrinterLine::Mono().Dot(LineDot80(150))}).FormFeed().Raw(AreaAt(0, 0, 576, 4));
    const JobResult job = Print(narrow.Data());
    EXPECT_EQ(
        Described(job.warnings),
        (std::vector<std::string>{"offset 2 (0x2): print area at (8, 0), 100 dots wide: (0, 0) and 576 dots expected",
                                  "offset 97 (0x61): raster row with printed dots beside the print area (100 "
                                  "dots wide from dot 8)",
                                  "offset 263 (0x107): print area ignored outside page mode"}));
    EXPECT_EQ(job.summary.dotsBesideThePaper, 2u);
    ASSERT_EQ(job.pieces.size(), 1u);
    ExpectOnlyDots(job.pieces[0].front, {{58, 0, Dot::Black}});

    // A new area shorter than the rows composed: the rows below its bottom go.
    PrinterStream shorter;
    shorter.PageMode().PrintArea(10);
    shorter.Raster(0, {PrinterLine::Mono(), PrinterLine::Mono(), PrinterLine::Mono(),
                       PrinterLine::Mono().Dot(LineDot80(1)), PrinterLine::Mono().Dot(LineDot80(2))});
    shorter.PrintArea(3).FormFeed();
    const JobResult trimmed = Print(shorter.Data());
    EXPECT_EQ(Described(trimmed.warnings),
              (std::vector<std::string>{"offset 417 (0x1A1): print area ends at row 3, above 2 rows already "
                                        "composed: they are removed"}));
    ASSERT_EQ(trimmed.pieces.size(), 1u);
    EXPECT_EQ(trimmed.pieces[0].Rows(), 3);
    ExpectOnlyDots(trimmed.pieces[0].front, {});
}

TEST(VirtualPrinter, RasterAndCutVariantsTheDriverDoesNotSendAreWarnedOnce) {
    const PrinterLine secondOnly =
        PrinterLine::TwoColour().Dot(LineDot80(3), 1).Dot(LineDot80(4), 1).Dot(LineDot80(5)).Dot(LineDot80(5), 1);
    const Bytes stream = PrinterStream()
                             .Raster(2, {PrinterLine::TwoColour(), secondOnly, secondOnly})
                             .Raster(1, {PrinterLine::Mono().Dot(LineDot80(9))})
                             .Raster(1, {PrinterLine::Mono()})
                             .Raw({0x1D, 0x56, 0x31})
                             .Feed(1)
                             .Raw({0x1D, 0x56, 0x00})
                             .Feed(1)
                             .Cut()
                             .Data();
    const JobResult job = Print(stream);
    EXPECT_EQ(Described(job.warnings),
              (std::vector<std::string>{
                  "offset 165 (0xA5): raster row with 2 dots in the second plane alone: black sets both planes, "
                  "colour the first alone",
                  "offset 485 (0x1E5): raster type 01: 00 (mono) or 02 (two-colour) expected",
                  "offset 655 (0x28F): cut mode 31: 30 expected"}));
    EXPECT_TRUE(job.errors.empty());
    ASSERT_EQ(job.pieces.size(), 3u);
    // The second plane alone still prints black, and type 01 prints as mono.
    ExpectOnlyDots(job.pieces[0].front, {{3, 1, Dot::Black},
                                         {4, 1, Dot::Black},
                                         {5, 1, Dot::Black},
                                         {3, 2, Dot::Black},
                                         {4, 2, Dot::Black},
                                         {5, 2, Dot::Black},
                                         {9, 3, Dot::Black}});
}

TEST(VirtualPrinter, DualSideTwoPageJobPrintsOneSheetWithFrontAndBack) {
    const Bytes stream = PrinterStream()
                             .Initialise()
                             .SideMode(2)
                             .SelectSide(0)
                             .PageMode()
                             .PrintArea(100)
                             .Raster(0, {PrinterLine::Mono().Dot(LineDot80(1))})
                             .SelectSide(1)
                             .PageMode()
                             .PrintArea(150)
                             .Raster(0, {PrinterLine::Mono(), PrinterLine::Mono().Dot(LineDot80(2))})
                             .EndSheet()
                             .SelectSide(0)
                             .Feed(368)
                             .SelectSide(1)
                             .Feed(368)
                             .Cut()
                             .Initialise()
                             .Data();
    const JobResult job = Print(stream);
    EXPECT_TRUE(job.errors.empty());
    EXPECT_TRUE(job.warnings.empty());
    ASSERT_EQ(job.pieces.size(), 1u);
    const Piece& piece = job.pieces[0];
    EXPECT_TRUE(piece.dualSide);
    EXPECT_TRUE(piece.cut);
    EXPECT_EQ(piece.front.Rows(), 150 + 368);
    EXPECT_EQ(piece.back.Rows(), 150 + 368);
    ExpectOnlyDots(piece.front, {{1, 0, Dot::Black}});
    ExpectOnlyDots(piece.back, {{2, 1, Dot::Black}});
    EXPECT_EQ(job.summary.pages, 2u);
    EXPECT_EQ(job.summary.sheets, 1u);
    EXPECT_EQ(job.summary.feeds, 4u);
}

TEST(VirtualPrinter, DualSideOddLastPageIsPrintedByTheEndSheetOfTheDocumentEnd) {
    PrinterStream builder;
    builder.Initialise().SideMode(2);
    for (int page = 1; page <= 3; ++page) {
        builder.SelectSide(page % 2 == 1 ? 0 : 1)
            .PageMode()
            .PrintArea(50)
            .Raster(0, {PrinterLine::Mono().Dot(LineDot80(page))});
        if (page == 2) builder.EndSheet().SelectSide(0).Feed(368).SelectSide(1).Feed(368).Cut();
    }
    builder.EndSheet().Feed(368).Cut().Initialise();
    const JobResult job = Print(builder.Data());
    ASSERT_EQ(job.pieces.size(), 2u);
    EXPECT_EQ(job.pieces[1].Rows(), 50 + 368);
    ExpectOnlyDots(job.pieces[1].front, {{3, 0, Dot::Black}});
    ExpectOnlyDots(job.pieces[1].back, {});
    EXPECT_EQ(job.summary.sheets, 2u);
    EXPECT_EQ(job.summary.pages, 3u);
}

TEST(VirtualPrinter, EveryCutEndsAPieceAndPaperLeftAtTheEndIsTheUncutLastOne) {
    const Bytes stream = PrinterStream().StandardMode().Feed(10).Cut().Feed(20).Cut().Cut().Feed(5).Initialise().Data();
    const JobResult job = Print(stream);
    ASSERT_EQ(job.pieces.size(), 3u);
    EXPECT_EQ(job.pieces[0].Rows(), 10);
    EXPECT_EQ(job.pieces[1].Rows(), 20);
    EXPECT_EQ(job.pieces[2].Rows(), 5);
    EXPECT_TRUE(job.pieces[1].cut);
    EXPECT_FALSE(job.pieces[2].cut);
    EXPECT_EQ(job.summary.cuts, 3u);
    ASSERT_EQ(job.warnings.size(), 1u);
    EXPECT_EQ(job.warnings[0].text, "cut with no paper printed or fed since the previous cut");
}

TEST(VirtualPrinter, AnEndlessFeedIsKeptToTheLongestPieceShown) {
    PrinterStream builder;
    for (int i = 0; i < 400; ++i) builder.Feed(255);
    builder.Cut();
    const JobResult job = Print(builder.Data());
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_EQ(job.pieces[0].Rows(), SideImage::MAX_ROWS);
    EXPECT_EQ(job.summary.fedDots, 400u * 255);
    ASSERT_EQ(job.warnings.size(), 1u);
    EXPECT_EQ(job.warnings[0].text, "piece longer than 100000 rows: the last 2000 rows are not shown");
}

TEST(VirtualPrinter, AJobsPaperStopsAtItsLimitWithOneErrorAndDecodingGoesOn) {
    // Groups of ten feeds of 255 rows and a cut: 2550 rows in 13 bytes. 156 groups make 397800 rows;
    // the ninth feed of group 157 passes 400000.
    PrinterStream builder;
    builder.Raw({0x1B, 0x33, 0xFF});
    for (int group = 0; group < 200; ++group) {
        for (int feed = 0; feed < 10; ++feed) builder.Raw({0x0A});
        builder.Cut();
    }
    builder.Raw({0x1D, 0x56, 0x07}).Feed(10).Cut();

    VirtualPrinter printer;
    printer.Feed(builder.Data());
    const JobResult job = printer.Finish();
    ASSERT_EQ(job.errors.size(), 2u);
    EXPECT_EQ(Describe(job.errors[0]),
              "offset 2039 (0x7F7): line feed 0A: paper limit: the job's paper passed 400000 rows; the rest of "
              "the stream is decoded but prints nothing");
    EXPECT_EQ(job.errors[1].kind, StreamErrorKind::BadParameter);
    EXPECT_EQ(job.errors[1].offset, 3u + 200 * 13);
    // Nothing about the pieces the limit left empty.
    EXPECT_TRUE(job.warnings.empty());
    ASSERT_EQ(job.pieces.size(), 157u);
    EXPECT_EQ(job.pieces[155].Rows(), 2550);
    EXPECT_EQ(job.pieces[156].Rows(), 400000 - 156 * 2550);
    EXPECT_TRUE(job.pieces[156].cut);
    EXPECT_EQ(job.summary.cuts, 201u);
    EXPECT_EQ(job.summary.feeds, 2001u);
    EXPECT_EQ(job.summary.errors, 2u);

    // The next job has the whole limit again.
    printer.Feed(PrinterStream().Feed(10).Cut().Data());
    const JobResult next = printer.Finish();
    EXPECT_TRUE(next.errors.empty());
    ASSERT_EQ(next.pieces.size(), 1u);
    EXPECT_EQ(next.pieces[0].Rows(), 10);
}

TEST(VirtualPrinter, ALimitedJobsPaperStopsAtItsOwnLimit) {
    // Feeds of 255 rows: the limit of 1000 rows falls inside the fourth, in the second piece.
    PrinterStream builder;
    builder.Raw({0x1B, 0x33, 0xFF, 0x0A, 0x0A}).Cut().Raw({0x0A, 0x0A, 0x0A}).Cut();
    VirtualPrinter printer;
    printer.LimitJobRows(1000);
    printer.Feed(builder.Data());
    const JobResult job = printer.Finish();
    ASSERT_EQ(job.errors.size(), 1u);
    EXPECT_NE(Describe(job.errors[0]).find("the job's paper passed 1000 rows"), std::string::npos);
    ASSERT_EQ(job.pieces.size(), 2u);
    EXPECT_EQ(job.pieces[0].Rows(), 510);
    EXPECT_EQ(job.pieces[1].Rows(), 490);
    printer.LimitJobRows(UINT64_MAX); // never above the printer's own limit
    printer.Feed(PrinterStream().Feed(10).Cut().Data());
    EXPECT_TRUE(printer.Finish().errors.empty());
}

TEST(VirtualPrinter, WithoutAKnifeCutsAreIgnored) {
    PrinterState state;
    state.knife = false;
    const JobResult job = Print(PrinterStream().Feed(10).Cut().Feed(10).Cut().Data(), state);
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_EQ(job.pieces[0].Rows(), 20);
    EXPECT_FALSE(job.pieces[0].cut);
    EXPECT_EQ(job.summary.cuts, 0u);
    EXPECT_EQ(job.warnings.size(), 2u);
}

TEST(VirtualPrinter, AnAreaNeverPrintedIsLostAndReported) {
    const Bytes stream =
        PrinterStream().PageMode().PrintArea(100).BlankRows(0, 4).Initialise().PageMode().BlankRows(0, 2).Data();
    const JobResult job = Print(stream);
    EXPECT_TRUE(job.pieces.empty());
    ASSERT_EQ(job.warnings.size(), 3u);
    EXPECT_EQ(Describe(job.warnings[0]),
              "offset 337 (0x151): initialise discards a page-mode area of 4 raster rows that was never printed");
    EXPECT_EQ(Describe(job.warnings[1]), "offset 346 (0x15A): raster row in page mode before any print area");
    EXPECT_EQ(job.warnings[2].text, "the stream ends with a page-mode area of 2 raster rows that was never printed");
}

TEST(VirtualPrinter, SingleSideModelAndSingleSideModeIgnoreSideCommands) {
    PrinterState state;
    state.dualSideModel = false;
    const Bytes stream = PrinterStream().SideMode(2).SelectSide(1).Feed(10).EndSheet().Data();
    const JobResult job = Print(stream, state);
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_FALSE(job.pieces[0].dualSide);
    EXPECT_EQ(job.pieces[0].front.Rows(), 10);
    EXPECT_EQ(job.warnings.size(), 3u);
}

TEST(VirtualPrinter, ConfigurationRequestsAreAnsweredFromThePrinterState) {
    PrinterState state;
    state.paperWidth = PaperWidth::Mm58;
    state.oneLineBuffer = true;
    VirtualPrinter printer(state);
    printer.Feed(Bytes{0x1B, 0x40, 0x1F, 0x31, 0x04, 0x1B, 0x40, 0x1F, 0x31, 0x02});
    uint8_t reply[8] = {};
    ASSERT_EQ(printer.ReadReply(reply), 8u);
    EXPECT_EQ(Bytes(reply, reply + 8), (Bytes{0x00, 0x18, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00}));
    EXPECT_EQ(printer.ReadReply(reply), 0u);

    // Set configuration to mono paper, knife disabled, 80 mm; then print configuration.
    printer.Feed(Bytes{0x1F, 0x32, 0x05, 0x20, 0x04, 0x1B, 0x40, 0x1F, 0x74, 0x1F, 0x31, 0x04});
    EXPECT_EQ(printer.PendingReplyBytes(), 4u);
    ASSERT_EQ(printer.ReadReply(std::span(reply, 4)), 4u);
    EXPECT_EQ(Bytes(reply, reply + 4), (Bytes{0x05, 0x20, 0x00, 0x00}));
    EXPECT_FALSE(printer.State().twoColourPaper);
    EXPECT_FALSE(printer.State().knife);
    EXPECT_EQ(printer.State().paperWidth, PaperWidth::Mm80);

    const JobResult job = printer.Finish();
    // The print-configuration command printed the settings page (uncut: the knife is now disabled):
    // five lines of 28 rows, each after a gap of 12, a last gap and the 180-row feed to the knife.
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_FALSE(job.pieces[0].cut);
    EXPECT_EQ(job.pieces[0].Rows(), 5 * (12 + 28) + 12 + 180);
    EXPECT_TRUE(job.errors.empty());
    EXPECT_EQ(job.summary.configurationCommands, 5u);
}

TEST(VirtualPrinter, TheConfigurationPageSaysThePrintersSettings) {
    struct Case {
        PaperWidth width;
        bool twoColour, knife, oneLine;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {PaperWidth::Mm80, true, true, false, {"CONFIGURATION", "PAPER 80MM", "COLOURS 2", "KNIFE ON", "BUFFER 4K"}},
        {PaperWidth::Mm58,
         false,
         false,
         true,
         {"CONFIGURATION", "PAPER 58MM", "COLOURS 1", "KNIFE OFF", "BUFFER LINE"}},
    };
    for (const Case& c : cases) {
        PrinterState state;
        state.paperWidth = c.width;
        state.twoColourPaper = c.twoColour;
        state.knife = c.knife;
        state.oneLineBuffer = c.oneLine;
        EXPECT_EQ(ConfigurationLines(state), c.lines);
        VirtualPrinter printer(state);
        printer.Feed(Bytes{0x1B, 0x40, 0x1F, 0x74});
        const JobResult job = printer.Finish();
        ASSERT_EQ(job.pieces.size(), 1u);
        EXPECT_EQ(job.pieces[0].cut, c.knife);
        // The first letter, C, drawn four times larger: its top bar starts one dot column in.
        const SideImage& paper = job.pieces[0].front;
        EXPECT_EQ(paper.At(4, 12), Dot::White);
        EXPECT_EQ(paper.At(8, 12), Dot::Black);
        EXPECT_EQ(paper.At(4, 12 + 4), Dot::Black); // the left side of the C
        EXPECT_EQ(paper.At(8, 12 + 4), Dot::White);
    }
}

TEST(PrinterState, StatusReplyCarriesEachConditionInItsBit) {
    const uint8_t query[1024] = {0x14, 0x01, 0x01};
    EXPECT_TRUE(IsStatusQuery(query));
    EXPECT_FALSE(IsStatusQuery(std::span(query, 2)));

    PrinterState state;
    EXPECT_EQ(StatusReply(state), (Reply{0, 0, 0, 0}));
    state.busy = true;
    state.paperOut = true;
    EXPECT_EQ(StatusReply(state), (Reply{0x08, 0x00, 0x00, 0x20}));
    state = PrinterState{};
    state.doorOpen = true;
    state.printingStopped = true;
    state.cutterError = true;
    EXPECT_EQ(StatusReply(state), (Reply{0x00, 0x24, 0x08, 0x00}));
    state = PrinterState{};
    state.headFault = HeadFault::PowerSupply;
    EXPECT_EQ(StatusReply(state)[2], 0x60);
    state.headFault = HeadFault::Temperature;
    EXPECT_EQ(StatusReply(state)[2], 0x40);
    state.headFault = HeadFault::NotConnected;
    EXPECT_EQ(StatusReply(state)[2], 0x20);
}

TEST(VirtualPrinter, FinishReportsErrorsAndLeavesThePrinterReadyForTheNextJob) {
    VirtualPrinter printer;
    printer.Feed(PrinterStream().Initialise().SideMode(2).StandardMode().Raw({0x1F, 0x60, 0x01}).Feed(10).Data());
    printer.Feed(Bytes{0x1B, 0x2C, 0x00, 0x01, 0x00, 0xAA});
    const JobResult first = printer.Finish();
    ASSERT_EQ(first.errors.size(), 2u);
    EXPECT_EQ(first.summary.errors, 2u);
    EXPECT_EQ(first.errors[0].kind, StreamErrorKind::BadParameter);
    EXPECT_EQ(first.errors[1].kind, StreamErrorKind::TruncatedRaster);
    ASSERT_EQ(first.pieces.size(), 1u);
    EXPECT_TRUE(first.pieces[0].dualSide);

    // The next job starts at offset 0 in single-side standard mode.
    printer.Feed(Bytes{0x41});
    printer.Feed(PrinterStream().Initialise().Feed(5).Data());
    const JobResult second = printer.Finish();
    ASSERT_EQ(second.errors.size(), 1u);
    EXPECT_EQ(second.errors[0].offset, 0u);
    ASSERT_EQ(second.pieces.size(), 1u);
    EXPECT_FALSE(second.pieces[0].dualSide);
    EXPECT_EQ(second.pieces[0].Rows(), 5);
}
