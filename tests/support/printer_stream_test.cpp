// The builder every stream test trusts for its expected bytes: each command against bytes written out
// by hand, the raster block's row count and pair exchange at their edges, and where page dots land in
// a line on each roll.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "printer_stream.h"
#include "stream_difference.h"

namespace {

struct Command {
    const char* name;
    std::function<void(PrinterStream&)> build;
    Bytes bytes;
};

TEST(PrinterStream, EachCommandIsTheDriversBytes) {
    const std::vector<Command> commands = {
        {"initialise", [](PrinterStream& s) { s.Initialise(); }, {0x1B, 0x40}},
        {"side mode", [](PrinterStream& s) { s.SideMode(2); }, {0x1F, 0x60, 0x02}},
        {"select side", [](PrinterStream& s) { s.SelectSide(1); }, {0x1F, 0x61, 0x01}},
        {"end sheet", [](PrinterStream& s) { s.EndSheet(); }, {0x1F, 0x62}},
        {"page mode", [](PrinterStream& s) { s.PageMode(); }, {0x1B, 0x4C}},
        {"standard mode", [](PrinterStream& s) { s.StandardMode(); }, {0x1B, 0x53}},
        {"form feed", [](PrinterStream& s) { s.FormFeed(); }, {0x0C}},
        {"cut", [](PrinterStream& s) { s.Cut(); }, {0x1D, 0x56, 0x30}},
        {"print area", [](PrinterStream& s) { s.PrintArea(4500); }, {0x1B, 0x57, 0, 0, 0, 0, 0x40, 0x02, 0x94, 0x11}},
        {"area of no rows", [](PrinterStream& s) { s.PrintArea(0); }, {0x1B, 0x57, 0, 0, 0, 0, 0x40, 0x02, 0, 0}},
        {"page mode area",
         [](PrinterStream& s) { s.PageModeArea(220); },
         {0x1B, 0x4C, 0x1B, 0x57, 0, 0, 0, 0, 0x40, 0x02, 0xDC, 0x00}},
        {"no feed", [](PrinterStream& s) { s.Feed(0); }, {}},
        {"feed of 180", [](PrinterStream& s) { s.Feed(180); }, {0x1B, 0x33, 0xB4, 0x0A}},
        {"feed of 255", [](PrinterStream& s) { s.Feed(255); }, {0x1B, 0x33, 0xFF, 0x0A}},
        {"feed of 256", [](PrinterStream& s) { s.Feed(256); }, {0x1B, 0x33, 0xFF, 0x0A, 0x1B, 0x33, 0x01, 0x0A}},
        {"feed of 510", [](PrinterStream& s) { s.Feed(510); }, {0x1B, 0x33, 0xFF, 0x0A, 0x1B, 0x33, 0xFF, 0x0A}},
        {"raw bytes",
         [](PrinterStream& s) {
             s.Raw({0x00, 0x1B}).Raw(Bytes{0x40});
         },
         {0x00, 0x1B, 0x40}},
    };
    for (const Command& c : commands) {
        PrinterStream s;
        c.build(s);
        EXPECT_EQ(s.Data(), c.bytes) << c.name;
    }
}

TEST(PrinterStream, CommandsFollowOneAnotherInTheOrderBuilt) {
    const Bytes built = PrinterStream().Initialise().SideMode(0).FormFeed().Cut();
    EXPECT_EQ(built, (Bytes{0x1B, 0x40, 0x1F, 0x60, 0x00, 0x0C, 0x1D, 0x56, 0x30}));
}

// The header counts rows as the driver does: nL = rows % 255, nH = rows / 255.
TEST(PrinterStream, RasterHeaderCountsRowsInTwoHundredFiftyFives) {
    const struct {
        int rows;
        uint8_t nL, nH;
    } cases[] = {{0, 0, 0}, {1, 1, 0}, {254, 254, 0}, {255, 0, 1}, {256, 1, 1}, {510, 0, 2}};
    for (const auto& c : cases) {
        const Bytes block = PrinterStream().BlankRows(0, c.rows);
        ASSERT_EQ(block.size(), 5u + 80u * static_cast<size_t>(c.rows)) << c.rows;
        EXPECT_EQ(Bytes(block.begin(), block.begin() + 5), (Bytes{0x1B, 0x2C, 0x00, c.nL, c.nH})) << c.rows;
    }
}

TEST(PrinterStream, RasterDataHasEachPairOfBytesExchanged) {
    Bytes first(80, 0), second(80, 0);
    first[0] = 0x01;
    first[1] = 0x02;
    first[79] = 0x03;
    second[0] = 0x04;
    const Bytes block = PrinterStream().Raster(1, {PrinterLine(first), PrinterLine(second)});
    ASSERT_EQ(block.size(), 5u + 160u);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 5), (Bytes{0x1B, 0x2C, 0x01, 0x02, 0x00}));
    EXPECT_EQ(block[5], 0x02);
    EXPECT_EQ(block[6], 0x01);
    EXPECT_EQ(block[5 + 78], 0x03); // byte 79 of the first line travels at 78
    EXPECT_EQ(block[5 + 81], 0x04); // byte 0 of the second line travels at 81
}

TEST(PrinterStream, RasterFormsOfOneBlockAgree) {
    const PrinterLine black = PrinterLine::Mono().Black(0, 576);
    const Bytes listed = PrinterStream().Raster(0, {black, black, black});
    EXPECT_EQ(PrinterStream().Raster(0, black, 3).Data(), listed);
    EXPECT_EQ(PrinterStream().Raster({black, black, black}, false).Data(), listed);
    EXPECT_EQ(PrinterStream().RasterRows(black, 3, 24, false).Data(), listed);
    const Bytes twoColour = PrinterStream().Raster({PrinterLine::TwoColour()}, true);
    EXPECT_EQ(twoColour, PrinterStream().BlankRows(2, 1).Data());
    EXPECT_EQ(twoColour[2], 0x02);
    EXPECT_EQ(twoColour.size(), 5u + 160u);
}

TEST(PrinterStream, RasterRowsSplitIntoBlocksOfAtMostPerBlock) {
    const PrinterLine line = PrinterLine::Mono().Black(0, 8);
    const Bytes split = PrinterStream().RasterRows(line, 50, 24, false);
    EXPECT_EQ(split, PrinterStream().Raster(0, line, 24).Raster(0, line, 24).Raster(0, line, 2).Data());
}

TEST(PrinterLine, PageDotsLandFromByteFourOn80mmAndByteTwentyFourOn58mm) {
    Bytes roll80(80, 0);
    roll80[4] = 0x80;  // dot 0
    roll80[75] = 0x01; // dot 575
    EXPECT_EQ(PrinterLine::Mono().Black(0, 1).Black(575, 576).Data(), roll80);

    Bytes roll58(80, 0);
    roll58[24] = 0x80; // dot 0
    roll58[77] = 0x01; // dot 431
    EXPECT_EQ(PrinterLine(false, false).Black(0, 1).Black(431, 432).Data(), roll58);
    EXPECT_EQ(PrinterLine::Mono().Dot(LineDot58(0)).Dot(LineDot58(431)).Data(), roll58);
    EXPECT_EQ(PrinterLine::Mono().Dot(LineDot80(0)).Dot(LineDot80(575)).Data(), roll80);
}

TEST(PrinterLine, BlackMarksBothPlanesAndColourTheFirstOnly) {
    Bytes expected(160, 0);
    expected[4] = 0xF0;      // dots 0-3 in the first plane: black and colour
    expected[80 + 4] = 0xC0; // dots 0-1 in the second plane: black only
    EXPECT_EQ(PrinterLine::TwoColour().Black(0, 2).Colour(2, 4).Data(), expected);
    // On a mono line, black and colour are the same one plane.
    EXPECT_EQ(PrinterLine::Mono().Black(0, 2).Colour(2, 4).Data(), PrinterLine::Mono().Black(0, 4).Data());
    EXPECT_EQ(PrinterLine::TwoColour().Dot(639, 1).Data()[159], 0x01);
}

TEST(PrinterLine, AWrittenOutLineKeepsItsBytes) {
    Bytes odd{1, 2, 3};
    EXPECT_EQ(PrinterLine(odd).Data(), odd);
    EXPECT_EQ(PrinterLine(Bytes(160, 0)), PrinterLine::TwoColour());
    EXPECT_EQ(PrinterLine(Bytes(80, 0)).Black(0, 576), PrinterLine::Mono().Black(0, 576));
}

TEST(StreamDifference, SayWhereTheStreamsPart) {
    const Bytes a{0x1B, 0x40, 0x0C}, b{0x1B, 0x40, 0x0A}, shorter{0x1B, 0x40};
    EXPECT_EQ(CompareStreams(a, a), "same");
    EXPECT_EQ(CompareStreams(a, b), "first difference at byte 2 of 3 (got 3): expected 0C, got 0A");
    EXPECT_EQ(CompareStreams(a, shorter), "streams agree for 2 bytes; expected 3 bytes, got 2");
    EXPECT_TRUE(SameStream(a, a));
    const ::testing::AssertionResult parted = SameStream(b, a);
    EXPECT_FALSE(parted);
    EXPECT_EQ(std::string(parted.message()),
              "streams part at byte 2 (actual 3 bytes, expected 3)\n  actual:   1B 40 0A \n  expected: 1B 40 0C ");
    EXPECT_FALSE(SameStream(shorter, a));
    EXPECT_EQ(HexText(Bytes{0x00, 0xAB, 0xFF}, 1), "AB FF ");
}

} // namespace
