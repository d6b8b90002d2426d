// Pictures through the whole road (engine, VELT, spooler, port): the exact bytes at the port against
// streams built here, and the paper the virtual printer makes of them.
#include <gtest/gtest-spi.h>

#include "e2e_fixture.h"

namespace e2e {
namespace {

using vprinter::Dot;

// An 80 mm page with two black marks: rows 10-19 over dots 0-99, and row 100 over dots 500-575.
HostPicture MarkedPage(LONG height) {
    HostPicture page = HostPicture::Filled(576, height, kWhite);
    page.FillRect(0, 10, 100, 20, kBlack);
    page.FillRect(500, 100, 576, 101, kBlack);
    return page;
}

std::vector<PrinterLine> MarkedPageLines(bool twoColour, int rows) {
    std::vector<PrinterLine> lines(static_cast<size_t>(rows), PrinterLine(twoColour));
    for (int r = 10; r < 20; ++r) lines[static_cast<size_t>(r)].Black(0, 100);
    lines[100].Black(500, 576);
    return lines;
}

// The lines in blocks of at most `perBlock` rows.
void Blocks(PrinterStream& s, const std::vector<PrinterLine>& lines, size_t perBlock, bool twoColour) {
    for (size_t at = 0; at < lines.size(); at += perBlock) {
        size_t end = std::min(lines.size(), at + perBlock);
        s.Raster(
            std::vector<PrinterLine>(lines.begin() + static_cast<long>(at), lines.begin() + static_cast<long>(end)),
            twoColour);
    }
}

TEST_F(EndToEnd, OnePageMonoInPageModeCutAfterThePage) {
    HostPicture page = MarkedPage(220);
    Bytes port = Print({}, {&page});
    EXPECT_EQ(last_.printableArea.cx, 576);
    EXPECT_EQ(last_.printableArea.cy, 220); // 50 mm: 400 dots less 140 above and 40 below

    // Rows up to the last printed one (row 100), in blocks of 24.
    PrinterStream s;
    s.Initialise().SideMode(0).PageMode().PrintArea(220);
    auto lines = MarkedPageLines(false, 101);
    Blocks(s, lines, 24, false);
    s.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_EQ(CompareStreams(s.Data(), port), "same");

    vprinter::JobResult paper = Decode(port);
    EXPECT_TRUE(paper.errors.empty());
    ASSERT_EQ(paper.pieces.size(), 1u);
    const vprinter::Piece& piece = paper.pieces[0];
    EXPECT_TRUE(piece.cut);
    EXPECT_EQ(piece.Width(), 576);
    EXPECT_EQ(piece.Rows(), 220 + 180);
    EXPECT_EQ(SideText(piece.front, 9, 3, 98, 102), "....\n##..\n##..\n");
    EXPECT_EQ(SideText(piece.front, 99, 3, 498, 502), "....\n..##\n....\n");
}

TEST_F(EndToEnd, OnePageTwoColourSendsBothPlanes) {
    HostPicture page = MarkedPage(220);
    page.FillRect(200, 50, 300, 52, kRed);
    Settings settings;
    settings.color = DMCOLOR_COLOR;
    Bytes port = Print(settings, {&page});

    PrinterStream s;
    s.Initialise().SideMode(0).PageMode().PrintArea(220);
    auto lines = MarkedPageLines(true, 101);
    lines[50].Colour(200, 300);
    lines[51].Colour(200, 300);
    Blocks(s, lines, 24, true);
    s.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_EQ(CompareStreams(s.Data(), port), "same");

    vprinter::JobResult paper = Decode(port);
    ASSERT_EQ(paper.pieces.size(), 1u);
    EXPECT_EQ(SideText(paper.pieces[0].front, 50, 2, 198, 202), "..rr\n..rr\n");
    EXPECT_EQ(paper.pieces[0].front.At(0, 10), Dot::Black);
}

// Dual side: 80 mm by 100 mm leaves 800 - 140 - 228 = 432 rows a side.
Settings DualSide() {
    Settings s;
    s.duplex = DMDUP_VERTICAL;
    s.paper.length = 1000;
    return s;
}

HostPicture Block(LONG height, LONG top, LONG bottom) {
    HostPicture page = HostPicture::Filled(576, height, kWhite);
    page.FillRect(0, top, 576, bottom, kBlack);
    return page;
}

TEST_F(EndToEnd, TwoPagesOnBothSidesOfOneSheet) {
    HostPicture front = Block(432, 0, 2), back = Block(432, 5, 6);
    Bytes port = Print(DualSide(), {&front, &back});
    EXPECT_EQ(last_.printableArea.cy, 432);

    PrinterLine black = PrinterLine(false).Black(0, 576), blank(false);
    PrinterStream s;
    s.Initialise().SideMode(2).SelectSide(0).PageMode().PrintArea(432);
    s.Raster({black, black}, false); // the first side ends with nothing
    s.SelectSide(1).PageMode().PrintArea(432);
    s.Raster({blank, blank, blank, blank, blank, black}, false);
    s.EndSheet().SelectSide(0).Feed(368).SelectSide(1).Feed(368).Cut();
    s.Initialise();
    EXPECT_EQ(CompareStreams(s.Data(), port), "same");

    vprinter::JobResult paper = Decode(port);
    ASSERT_EQ(paper.pieces.size(), 1u);
    EXPECT_TRUE(paper.pieces[0].dualSide);
    EXPECT_TRUE(paper.pieces[0].cut);
    EXPECT_EQ(paper.summary.sheets, 1u);
    EXPECT_EQ(paper.pieces[0].front.At(0, 0), Dot::Black);
    EXPECT_EQ(paper.pieces[0].back.At(0, 5), Dot::Black);
    EXPECT_EQ(paper.pieces[0].back.At(0, 0), Dot::White);
}

TEST_F(EndToEnd, ThreePagesOnBothSidesEndTheLastSheetAtTheEndOfTheDocument) {
    HostPicture page = Block(432, 0, 1);
    Bytes port = Print(DualSide(), {&page, &page, &page});

    PrinterLine black = PrinterLine(false).Black(0, 576);
    PrinterStream s;
    s.Initialise().SideMode(2).SelectSide(0).PageMode().PrintArea(432).Raster({black}, false);
    s.SelectSide(1).PageMode().PrintArea(432).Raster({black}, false);
    s.EndSheet().SelectSide(0).Feed(368).SelectSide(1).Feed(368).Cut();
    s.SelectSide(0).PageMode().PrintArea(432).Raster({black}, false);
    s.EndSheet().Feed(368).Cut().Initialise(); // the document's end closes the half-printed sheet
    EXPECT_EQ(CompareStreams(s.Data(), port), "same");

    vprinter::JobResult paper = Decode(port);
    EXPECT_EQ(paper.pieces.size(), 2u);
    EXPECT_EQ(paper.summary.sheets, 2u);
    EXPECT_EQ(paper.summary.cuts, 2u);
}

// An 80 mm page of 28.2 mm (225 - 180 = 45 rows) in standard mode: rows 1-30 printed at the left, a
// blank run, then rows printed at the right from `firstRightRow` (zero-based) to the last. Checks the
// stream (a block of 24 at row 24, one of 6 at the first blank row, the run as one feed when the next
// printed row arrives, the rows up to the last) and where the rows land on paper.
class StandardModePage : public EndToEnd {
protected:
    void PrintAndCheck(int firstRightRow) {
        HostPicture page = HostPicture::Filled(576, 45, kWhite);
        page.FillRect(0, 0, 8, 30, kBlack);
        page.FillRect(568, firstRightRow, 576, 45, kBlack);
        Settings settings;
        settings.paper.length = 282;
        settings.pageModeControl = 1;
        Bytes port = Print(settings, {&page});
        ASSERT_EQ(last_.printableArea.cy, 45);

        PrinterLine left = PrinterLine(false).Black(0, 8), right = PrinterLine(false).Black(568, 576);
        PrinterStream s;
        s.Initialise().SideMode(0).StandardMode();
        s.RasterRows(left, 24, 24, false);
        s.RasterRows(left, 6, 24, false);
        s.Feed(firstRightRow - 30);
        s.RasterRows(right, 45 - firstRightRow, 24, false);
        s.Feed(180).Cut().Initialise();
        EXPECT_EQ(CompareStreams(s.Data(), port), "same");

        vprinter::JobResult paper = Decode(port);
        ASSERT_EQ(paper.pieces.size(), 1u);
        const vprinter::SideImage& side = paper.pieces[0].front;
        EXPECT_EQ(side.At(0, 29), Dot::Black);
        EXPECT_EQ(side.At(0, 30), Dot::White);
        EXPECT_EQ(side.At(575, firstRightRow - 1), Dot::White);
        EXPECT_EQ(side.At(575, firstRightRow), Dot::Black);
        EXPECT_EQ(side.At(575, 44), Dot::Black);
    }
};

TEST_F(StandardModePage, GathersRowsAndFeedsBlankRuns) {
    PrintAndCheck(40); // rows 31-40 blank: feed 10 when row 41 arrives
}

TEST_F(StandardModePage, LastRowAfterABlankRunLandsWhereItWasDrawn) {
    PrintAndCheck(44); // rows 31-44 blank: the run is fed before the last row too
}

TEST_F(EndToEnd, APageOf2000RowsFillsOneAreaAndOpensAnEmptyOne) {
    // 80 mm by 272.5 mm: 2180 - 180 = 2000 rows.
    HostPicture page = HostPicture::Filled(576, 2000, kWhite);
    page.FillRect(0, 0, 576, 10, kBlack);
    page.FillRect(0, 1990, 576, 2000, kBlack);
    Settings settings;
    settings.paper.length = 2725;
    Bytes port = Print(settings, {&page});
    ASSERT_EQ(last_.printableArea.cy, 2000);

    std::vector<PrinterLine> lines(2000, PrinterLine(false));
    for (int r : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) lines[static_cast<size_t>(r)].Black(0, 576);
    for (int r = 1990; r < 2000; ++r) lines[static_cast<size_t>(r)].Black(0, 576);
    PrinterStream s;
    s.Initialise().SideMode(0).PageMode().PrintArea(2000);
    Blocks(s, lines, 24, false);
    s.FormFeed().PageMode().PrintArea(0);
    s.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_EQ(CompareStreams(s.Data(), port), "same");

    vprinter::JobResult paper = Decode(port);
    ASSERT_EQ(paper.pieces.size(), 1u);
    EXPECT_EQ(paper.pieces[0].front.At(0, 1999), Dot::Black);
    EXPECT_EQ(paper.pieces[0].front.At(0, 1989), Dot::White);
}

TEST_F(EndToEnd, APageOf4500RowsPrintsAsAreasOf2000And2500And500) {
    // 80 mm by 585 mm: 4680 - 180 = 4500 rows.
    HostPicture page = HostPicture::Filled(576, 4500, kWhite);
    page.FillRect(0, 0, 576, 1, kBlack);
    page.FillRect(0, 2000, 576, 2002, kBlack);
    page.FillRect(0, 4499, 576, 4500, kBlack);
    Settings settings;
    settings.paper.length = 5850;
    Bytes port = Print(settings, {&page});
    ASSERT_EQ(last_.printableArea.cy, 4500);

    PrinterLine black = PrinterLine(false).Black(0, 576), blank(false);
    std::vector<PrinterLine> lastArea(500, blank);
    lastArea.back() = black;
    PrinterStream s;
    s.Initialise().SideMode(0).PageMode().PrintArea(2000);
    s.Raster({black}, false); // the area's blank rows after its last printed row are left out
    s.FormFeed().PageMode().PrintArea(2500);
    s.Raster({black, black}, false);
    s.FormFeed().PageMode().PrintArea(500);
    Blocks(s, lastArea, 24, false);
    s.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_EQ(CompareStreams(s.Data(), port), "same");

    vprinter::JobResult paper = Decode(port);
    ASSERT_EQ(paper.pieces.size(), 1u);
    EXPECT_EQ(paper.summary.pages, 3u);
    const vprinter::SideImage& side = paper.pieces[0].front;
    EXPECT_EQ(side.At(0, 0), Dot::Black);
    EXPECT_EQ(side.At(0, 2000), Dot::Black);
    EXPECT_EQ(side.At(0, 2001), Dot::Black);
    EXPECT_EQ(side.At(0, 4499), Dot::Black);
    EXPECT_EQ(side.At(0, 4498), Dot::White);
}

TEST_F(EndToEnd, APaperWidthOfNoRollSendsThePageWithoutRows) {
    // 210 mm wide: no roll of this printer, so the page's dots have no place in a printer line.
    HostPicture page = HostPicture::Filled(1680, 220, kBlack);
    Settings settings;
    settings.paper.width = 2100;
    Bytes port = Print(settings, {&page});
    EXPECT_EQ(last_.printableArea.cx, 1680);

    PrinterStream s;
    s.Initialise().SideMode(0).PageMode().PrintArea(220).FormFeed().Feed(180).Cut().Initialise();
    EXPECT_EQ(CompareStreams(s.Data(), port), "same");
    EXPECT_EQ(Decode(port).summary.rasterBlocks, 0u);
}

TEST_F(EndToEnd, DuplexThreeSendsNoSidesAndCutsEverySecondPage) {
    // No feed margin for this duplex value: 400 - 140 = 260 rows.
    HostPicture page = Block(260, 0, 1);
    Settings settings;
    settings.duplex = 3;
    Bytes port = Print(settings, {&page, &page});
    ASSERT_EQ(last_.printableArea.cy, 260);

    PrinterLine black = PrinterLine(false).Black(0, 576);
    PrinterStream s;
    s.Initialise().PageMode().PrintArea(260).Raster({black}, false).FormFeed();
    s.PageMode().PrintArea(260).Raster({black}, false).FormFeed().Feed(180).Cut();
    s.Initialise();
    EXPECT_EQ(CompareStreams(s.Data(), port), "same");

    // Both pages reach the paper, one after the other on one piece.
    vprinter::JobResult paper = Decode(port);
    ASSERT_EQ(paper.pieces.size(), 1u);
    const vprinter::SideImage& side = paper.pieces[0].front;
    EXPECT_EQ(side.At(0, 0), Dot::Black);
    EXPECT_EQ(side.At(0, 1), Dot::White);
    EXPECT_EQ(side.At(0, 260), Dot::Black);
    EXPECT_EQ(side.At(0, 261), Dot::White);
}

TEST_F(EndToEnd, ARedRuleAndABlackBarComeOutRedAndBlack) {
    HostPicture page = HostPicture::Filled(576, 300, kWhite);
    page.FillRect(24, 100, 552, 105, kRed);
    page.FillRect(24, 200, 552, 228, kBlack);
    Settings settings;
    settings.color = DMCOLOR_COLOR;
    settings.paper.length = 1500;
    Bytes port = Print(settings, {&page});
    vprinter::JobResult paper = Decode(port);
    EXPECT_TRUE(paper.errors.empty());
    ASSERT_EQ(paper.pieces.size(), 1u);
    EXPECT_EQ(paper.pieces[0].front.At(300, 102), Dot::Colour);
    EXPECT_EQ(paper.pieces[0].front.At(300, 210), Dot::Black);
    EXPECT_EQ(paper.pieces[0].front.At(10, 102), Dot::White);
}

TEST_F(EndToEnd, ADecodeFailsOnAnyWarningOrErrorTheTestDoesNotExpect) {
    // A zero byte between commands and a cut of mode 31: two warnings.
    const Bytes doubtful{0x1B, 0x40, 0x00, 0x1B, 0x33, 0x0A, 0x0A, 0x1D, 0x56, 0x31, 0x1B, 0x40};
    EXPECT_NONFATAL_FAILURE(Decode(doubtful, {.expectWarnings = {"zero byte"}}),
                            "decode warning: offset 7 (0x7): cut mode 31");
    EXPECT_NONFATAL_FAILURE(Decode(doubtful, {.expectWarnings = {"zero byte", "cut mode 31", "raster type"}}),
                            "expected decode warning not given: raster type");
    EXPECT_EQ(Decode(doubtful, {.expectWarnings = {"zero byte", "cut mode 31"}}).pieces.size(), 1u);
    EXPECT_NONFATAL_FAILURE(Decode(Bytes{0x1B, 0x40, 0x1D, 0x56, 0x07}), "decode error: offset 2 (0x2): cut 1D 56");
}

TEST_F(EndToEnd, A58mmPageLandsOnThe58mmRoll) {
    // 58 mm wide: 432 dots. A mark at the page's left and right edges, rows 3-4.
    HostPicture page = HostPicture::Filled(432, 220, kWhite);
    page.FillRect(0, 3, 8, 5, kBlack);
    page.FillRect(424, 3, 432, 5, kBlack);
    Settings settings;
    settings.paper.width = 580;
    Bytes port = Print(settings, {&page});
    ASSERT_EQ(last_.printableArea.cx, 432);

    vprinter::PrinterState roll58;
    roll58.paperWidth = vprinter::PaperWidth::Mm58;
    vprinter::JobResult paper = Decode(port, {.printer = roll58});
    ASSERT_EQ(paper.pieces.size(), 1u);
    const vprinter::Piece& piece = paper.pieces[0];
    EXPECT_EQ(piece.Width(), 432);
    EXPECT_EQ(piece.Rows(), last_.printableArea.cy + 180);
    EXPECT_EQ(SideText(piece.front, 2, 4, 6, 10), "....\n##..\n##..\n....\n");
    EXPECT_EQ(SideText(piece.front, 2, 4, 422, 432), "..........\n..########\n..########\n..........\n");
    EXPECT_EQ(paper.summary.dotsBesideThePaper, 0u);
}

TEST_F(EndToEnd, ATwoColourJobOnMonoPaperComesOutAllBlack) {
    HostPicture page = HostPicture::Filled(576, 220, kWhite);
    page.FillRect(100, 20, 104, 21, kRed);
    page.FillRect(200, 20, 204, 21, kBlack);
    Settings settings;
    settings.color = DMCOLOR_COLOR;
    Bytes port = Print(settings, {&page});

    vprinter::PrinterState mono;
    mono.twoColourPaper = false;
    vprinter::JobResult paper = Decode(port, {.printer = mono});
    ASSERT_EQ(paper.pieces.size(), 1u);
    EXPECT_EQ(SideText(paper.pieces[0].front, 20, 1, 99, 105), ".####.\n");
    EXPECT_EQ(SideText(paper.pieces[0].front, 20, 1, 199, 205), ".####.\n");
    // The same bytes on two-colour paper keep the red.
    EXPECT_EQ(SideText(Decode(port).pieces.at(0).front, 20, 1, 99, 105), ".rrrr.\n");
}

} // namespace
} // namespace e2e
