#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pair_exchange.h"
#include "printer_stream.h"
#include "stream_parser.h"

using namespace vprinter;

namespace {

struct Recorder : StreamSink {
    std::vector<Command> commands;
    std::vector<Bytes> rows;
    std::vector<uint64_t> rowOffsets;
    std::vector<StreamError> errors;

    void OnCommand(const Command& c) override { commands.push_back(c); }
    void OnRasterRow(const RasterRow& r) override {
        rows.emplace_back(r.line.begin(), r.line.end());
        rowOffsets.push_back(r.offset);
    }
    void OnError(const StreamError& e) override { errors.push_back(e); }
};

Recorder Parse(const Bytes& stream, size_t chunk = 0) {
    Recorder recorder;
    StreamParser parser(recorder);
    if (chunk == 0) chunk = stream.size();
    for (size_t at = 0; at < stream.size(); at += chunk)
        parser.Feed(std::span(stream).subspan(at, std::min(chunk, stream.size() - at)));
    parser.Finish();
    return recorder;
}

std::vector<CommandKind> Kinds(const Recorder& r) {
    std::vector<CommandKind> kinds;
    for (const Command& c : r.commands) kinds.push_back(c.kind);
    return kinds;
}

} // namespace

TEST(StreamParser, DecodesEveryCommandWithItsOffsetAndParameters) {
    const Bytes stream = PrinterStream()
                             .Initialise()                                                      // 0
                             .SideMode(2)                                                       // 2
                             .SelectSide(1)                                                     // 5
                             .PageMode()                                                        // 8
                             .Raw({0x1B, 0x57, 0x08, 0x00, 0x10, 0x00, 0x40, 0x02, 0x2C, 0x01}) // 10
                             .Raw({0x1B, 0x33, 0xB4, 0x0A})                                     // 20, 23
                             .FormFeed()                                                        // 24
                             .EndSheet()                                                        // 25
                             .StandardMode()                                                    // 27
                             .Raw({0x1D, 0x56, 0x01})                                           // 29
                             .Raw({0x1F, 0x74, 0x1F, 0x31, 0x04, 0x1F, 0x32, 0x00, 0x18, 0x04}) // 32, 34, 37
                             .Data();
    const Recorder r = Parse(stream);
    ASSERT_TRUE(r.errors.empty());
    using K = CommandKind;
    EXPECT_EQ(Kinds(r), (std::vector<K>{K::Initialise, K::SideMode, K::SelectSide, K::PageMode, K::PrintArea,
                                        K::LineSpacing, K::LineFeed, K::FormFeed, K::EndSheet, K::StandardMode, K::Cut,
                                        K::PrintConfiguration, K::GetConfiguration, K::SetConfiguration}));
    const std::vector<uint64_t> offsets{0, 2, 5, 8, 10, 20, 23, 24, 25, 27, 29, 32, 34, 37};
    for (size_t i = 0; i < offsets.size(); ++i) EXPECT_EQ(r.commands[i].offset, offsets[i]) << "command " << i;
    EXPECT_EQ(r.commands[1].value, 2);
    EXPECT_EQ(r.commands[2].value, 1);
    const PrintArea& area = r.commands[4].area;
    EXPECT_EQ(area.x, 8);
    EXPECT_EQ(area.y, 16);
    EXPECT_EQ(area.width, 576);
    EXPECT_EQ(area.height, 300);
    EXPECT_EQ(r.commands[5].value, 0xB4);
    EXPECT_EQ(r.commands[10].value, 0x01);
    EXPECT_EQ(r.commands[12].value, 0x04);
    EXPECT_EQ(r.commands[13].value, 0x04);
    EXPECT_EQ(r.commands[13].data[0], 0x00);
    EXPECT_EQ(r.commands[13].data[1], 0x18);
}

TEST(StreamParser, UndoesThePairExchangeOfEveryRasterRow) {
    Bytes wire{0x1B, 0x2C, 0x00, 0x02, 0x00};
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 80; ++i) wire.push_back(static_cast<uint8_t>(row * 100 + i));
    const Recorder r = Parse(wire);
    ASSERT_TRUE(r.errors.empty());
    ASSERT_EQ(r.commands.size(), 1u);
    EXPECT_EQ(r.commands[0].rows, 2);
    ASSERT_EQ(r.rows.size(), 2u);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(r.rowOffsets[row], 5u + 80u * row);
        for (int i = 0; i < 80; ++i) EXPECT_EQ(r.rows[row][i], row * 100 + (i ^ 1)) << "row " << row << " byte " << i;
    }
}

TEST(StreamParser, TwoColourRowsAre160BytesAndTheRowCountTakesBothBytes) {
    Bytes wire{0x1B, 0x2C, 0x02, 0x2C, 0x01}; // N = 0x2C + 256 = 300 rows
    wire.resize(wire.size() + 300 * 160, 0);
    wire.push_back(0x0C);
    const Recorder r = Parse(wire);
    ASSERT_TRUE(r.errors.empty());
    EXPECT_EQ(r.commands[0].rows, 300);
    EXPECT_EQ(r.rows.size(), 300u);
    EXPECT_EQ(r.rows[0].size(), 160u);
    EXPECT_EQ(r.commands.back().kind, CommandKind::FormFeed);
    EXPECT_EQ(r.commands.back().offset, 5u + 300 * 160);
}

TEST(StreamParser, GivesTheSameEventsWhateverPiecesTheStreamArrivesIn) {
    const Bytes stream = PrinterStream()
                             .Initialise()
                             .SideMode(0)
                             .PageMode()
                             .PrintArea(40)
                             .Raster(0, {PrinterLine::Mono().Dot(40), PrinterLine::Mono().Dot(41)})
                             .Raster(2, {PrinterLine::TwoColour().Dot(50).Dot(51, 1)})
                             .FormFeed()
                             .Feed(368)
                             .Cut()
                             .Raw({0x1B, 0x99, 0x0A, 0x1B})
                             .Initialise()
                             .Data();
    const Recorder whole = Parse(stream);
    for (size_t chunk : {1u, 3u, 7u, 81u}) {
        const Recorder pieces = Parse(stream, chunk);
        EXPECT_EQ(Kinds(pieces), Kinds(whole)) << "chunk " << chunk;
        EXPECT_EQ(pieces.rows, whole.rows) << "chunk " << chunk;
        ASSERT_EQ(pieces.errors.size(), 1u);
        EXPECT_EQ(Describe(pieces.errors[0]), Describe(whole.errors[0]));
    }
}

TEST(StreamParser, ReportsTruncatedRasterDataWithTheBytesMissing) {
    Bytes stream = PrinterStream().Initialise().Raster(2, std::vector<PrinterLine>(3, PrinterLine::TwoColour())).Data();
    stream.erase(stream.end() - 200, stream.end()); // the last row lacks 160 bytes, the one before it 40
    const Recorder r = Parse(stream);
    EXPECT_EQ(r.rows.size(), 1u);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].kind, StreamErrorKind::TruncatedRaster);
    EXPECT_EQ(Describe(r.errors[0]), "offset 2 (0x2): raster block 1B 2C: truncated raster data: 200 bytes missing; "
                                     "1 of 3 rows of 160 bytes complete");
}

TEST(StreamParser, ReportsACommandCutShortByTheEndOfTheStream) {
    const Recorder r = Parse(Bytes{0x1B, 0x40, 0x1B, 0x57, 0x00, 0x00, 0x00, 0x00});
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(Describe(r.errors[0]), "offset 2 (0x2): print area 1B 57: truncated command: 6 of 10 bytes present");

    const Recorder lone = Parse(Bytes{0x0A, 0x1D});
    ASSERT_EQ(lone.errors.size(), 1u);
    EXPECT_EQ(Describe(lone.errors[0]),
              "offset 1 (0x1): 1D: truncated command: the stream ends after the command's first byte");
}

TEST(StreamParser, SkipsFromAnUnknownCommandToTheNextInitialise) {
    // Behind the unknown command lie bytes that would read as a line feed, a form feed and a cut.
    const Bytes stream =
        PrinterStream().Initialise().Raw({0x1B, 0x99, 0x0A, 0x0C, 0x1D, 0x56, 0x30}).Initialise().FormFeed().Data();
    const Recorder r = Parse(stream);
    using K = CommandKind;
    EXPECT_EQ(Kinds(r), (std::vector<K>{K::Initialise, K::Initialise, K::FormFeed}));
    EXPECT_EQ(r.commands[1].offset, 9u);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].kind, StreamErrorKind::UnknownCommand);
    EXPECT_TRUE(r.errors[0].resumed);
    EXPECT_EQ(Describe(r.errors[0]), "offset 2 (0x2): 1B 99: unknown command: no command starts with these bytes; "
                                     "skipped 7 bytes up to the next initialise 1B 40");
}

TEST(StreamParser, AnUnknownByteWithNoInitialiseBehindItLeavesTheRestUndecoded) {
    const Recorder r = Parse(Bytes{0x0A, 0x41, 0x42, 0x0A, 0x1B});
    ASSERT_EQ(r.commands.size(), 1u);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_FALSE(r.errors[0].resumed);
    EXPECT_EQ(Describe(r.errors[0]), "offset 1 (0x1): 41: unknown command: no command starts with this byte; "
                                     "the remaining 4 bytes were not decoded");
}

TEST(StreamParser, AnEscapeThatStartsNoCommandMayBeginTheInitialise) {
    const Recorder r = Parse(Bytes{0x1B, 0x1B, 0x40, 0x0C});
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].command, "1B 1B");
    EXPECT_EQ(r.errors[0].skipped, 1u);
    ASSERT_EQ(r.commands.size(), 2u);
    EXPECT_EQ(r.commands[0].kind, CommandKind::Initialise);
    EXPECT_EQ(r.commands[0].offset, 1u);
}

TEST(StreamParser, ReportsBadParametersAndGoesOnBehindTheCommand) {
    struct Case {
        Bytes bytes;
        const char* report;
    };
    const Case cases[] = {
        {{0x1F, 0x60, 0x01},
         "offset 0 (0x0): side mode 1F 60: bad parameter: side mode 01 (00 single side or 02 dual side expected)"},
        {{0x1F, 0x61, 0x02},
         "offset 0 (0x0): select side 1F 61: bad parameter: side 02 (00 front or 01 back expected)"},
        {{0x1D, 0x56, 0x32}, "offset 0 (0x0): cut 1D 56: bad parameter: cut mode 32 (30, 31, 00 or 01 expected)"},
        {{0x1F, 0x31, 0x07},
         "offset 0 (0x0): get configuration 1F 31: bad parameter: configuration group 07 (02 or 04 expected)"},
        {{0x1F, 0x32, 0x00, 0x18, 0x05},
         "offset 0 (0x0): set configuration 1F 32: bad parameter: configuration group 05 (02 or 04 expected)"},
    };
    for (const Case& c : cases) {
        Bytes stream = c.bytes;
        stream.push_back(0x0A);
        const Recorder r = Parse(stream);
        ASSERT_EQ(r.errors.size(), 1u) << c.report;
        EXPECT_EQ(r.errors[0].kind, StreamErrorKind::BadParameter);
        EXPECT_EQ(Describe(r.errors[0]), c.report);
        ASSERT_EQ(r.commands.size(), 1u) << c.report;
        EXPECT_EQ(r.commands[0].kind, CommandKind::LineFeed);
        EXPECT_EQ(r.commands[0].offset, c.bytes.size());
    }
}

TEST(StreamParser, RasterTypeThreeHasNoKnownLengthSoItsDataIsSkipped) {
    Bytes stream{0x1B, 0x40, 0x1B, 0x2C, 0x03, 0x02, 0x00};
    stream.insert(stream.end(), {0x0A, 0x1D, 0x56, 0x30, 0x0C}); // data that would otherwise feed and cut
    stream.insert(stream.end(), {0x1B, 0x40});
    const Recorder r = Parse(stream);
    using K = CommandKind;
    EXPECT_EQ(Kinds(r), (std::vector<K>{K::Initialise, K::Initialise}));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(Describe(r.errors[0]), "offset 2 (0x2): raster block 1B 2C: bad parameter: raster type 03 (00, 01 or 02 "
                                     "expected), 2 rows announced; skipped 10 bytes up to the next initialise 1B 40");
}

TEST(StreamParser, ZeroFillCompletesAnInterruptedBlockAndIsThenIgnored) {
    // A job cancelled after the first of three rows: the fill block (24 rows of 80 bytes and one more
    // zero byte) completes the block, the rest is ignored, the trailer initialises.
    Bytes stream = PrinterStream().Raster(0, {PrinterLine::Mono().Dot(40)}).Data();
    stream[3] = 3;
    stream.resize(stream.size() + 24 * 80 + 1, 0);
    stream.insert(stream.end(), {0x1B, 0x40});
    const Recorder r = Parse(stream);
    EXPECT_TRUE(r.errors.empty());
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[1], Bytes(80, 0));
    EXPECT_EQ(r.commands.back().kind, CommandKind::Initialise);

    Recorder recorder;
    StreamParser parser(recorder);
    parser.Feed(stream);
    EXPECT_EQ(parser.IgnoredZeroBytes(), 22u * 80 + 1);
    parser.Reset();
    EXPECT_EQ(parser.Offset(), 0u);
    EXPECT_EQ(parser.IgnoredZeroBytes(), 0u);
}

TEST(StreamParser, ABlockOfNoRowsCarriesNoData) {
    const Recorder r = Parse(Bytes{0x1B, 0x2C, 0x00, 0x00, 0x00, 0x0C});
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(r.commands.size(), 2u);
    EXPECT_TRUE(r.rows.empty());
}

TEST(PairExchange, SwapsEachPairAndLeavesAnOddLastByte) {
    Bytes bytes{1, 2, 3, 4, 5};
    ExchangePairs(bytes);
    EXPECT_EQ(bytes, (Bytes{2, 1, 4, 3, 5}));
}
