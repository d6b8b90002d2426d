// The command writers: exact bytes of every command, the feed splitting, the raster block's check and
// pair exchange, and what a failed write does to each.
#include "driver_harness.h"
#include "printer_commands.h"

namespace {

class PrinterCommands : public RenderTest {
protected:
    template <typename Send>
    Bytes Sent(Send&& send) {
        StartJob();
        send(printer());
        return EndJob();
    }
};

TEST_F(PrinterCommands, FixedCommands) {
    EXPECT_EQ(Sent([](HANDLE p) { EXPECT_TRUE(SendInitialise(p)); }), (Bytes{0x1B, 0x40}));
    EXPECT_EQ(Sent([](HANDLE p) { EXPECT_TRUE(SendEndSheet(p)); }), (Bytes{0x1F, 0x62}));
    EXPECT_EQ(Sent([](HANDLE p) { EXPECT_TRUE(SendPageMode(p)); }), (Bytes{0x1B, 0x4C}));
    EXPECT_EQ(Sent([](HANDLE p) { EXPECT_TRUE(SendStandardMode(p)); }), (Bytes{0x1B, 0x53}));
    EXPECT_EQ(Sent([](HANDLE p) { EXPECT_TRUE(SendFormFeed(p)); }), (Bytes{0x0C}));
    EXPECT_EQ(Sent([](HANDLE p) { EXPECT_TRUE(SendPrintArea(p, 4500)); }),
              (Bytes{0x1B, 0x57, 0, 0, 0, 0, 0x40, 0x02, 0x94, 0x11}));
}

TEST_F(PrinterCommands, SideModeAndCutRefuseWhatThePrinterDoesNotKnow) {
    EXPECT_EQ(Sent([](HANDLE p) {
                  EXPECT_TRUE(SendSideMode(p, 0));
                  EXPECT_TRUE(SendSideMode(p, 2));
                  EXPECT_FALSE(SendSideMode(p, 1));
                  EXPECT_FALSE(SendSideMode(p, 3));
              }),
              (Bytes{0x1F, 0x60, 0x00, 0x1F, 0x60, 0x02}));
    EXPECT_EQ(Sent([](HANDLE p) {
                  for (BYTE m : {0x30, 0x31, 0x00, 0x01}) {
                      EXPECT_TRUE(SendCut(p, m));
                  }
                  EXPECT_FALSE(SendCut(p, 0x02));
                  EXPECT_FALSE(SendCut(p, 0x32));
              }),
              (Bytes{0x1D, 0x56, 0x30, 0x1D, 0x56, 0x31, 0x1D, 0x56, 0x00, 0x1D, 0x56, 0x01}));
}

TEST_F(PrinterCommands, SelectSideSendsAnythingElseAsZero) {
    EXPECT_EQ(Sent([](HANDLE p) {
                  SendSelectSide(p, 0);
                  SendSelectSide(p, 1);
                  SendSelectSide(p, 2);
                  SendSelectSide(p, 0xFF);
              }),
              (Bytes{0x1F, 0x61, 0, 0x1F, 0x61, 1, 0x1F, 0x61, 0, 0x1F, 0x61, 0}));
}

TEST_F(PrinterCommands, FeedDotsSplitsAtTwoHundredFiftyFive) {
    EXPECT_EQ(Sent([](HANDLE p) { EXPECT_TRUE(FeedDots(p, 0)); }), Bytes{});
    EXPECT_EQ(Sent([](HANDLE p) { FeedDots(p, 180); }), (Bytes{0x1B, 0x33, 0xB4, 0x0A}));
    EXPECT_EQ(Sent([](HANDLE p) { FeedDots(p, 255); }), (Bytes{0x1B, 0x33, 0xFF, 0x0A}));
    EXPECT_EQ(Sent([](HANDLE p) { FeedDots(p, 368); }), (Bytes{0x1B, 0x33, 0xFF, 0x0A, 0x1B, 0x33, 0x71, 0x0A}));
    EXPECT_EQ(Sent([](HANDLE p) { FeedDots(p, 510); }), (Bytes{0x1B, 0x33, 0xFF, 0x0A, 0x1B, 0x33, 0xFF, 0x0A}));
}

TEST_F(PrinterCommands, FeedDotsStopsAtTheFirstFailedWrite) {
    EXPECT_EQ(Sent([](HANDLE p) {
                  HostFailPrinterWrite(2); // the first line feed
                  EXPECT_FALSE(FeedDots(p, 368));
              }),
              (Bytes{0x1B, 0x33, 0xFF}));
}

TEST_F(PrinterCommands, RasterBlockExchangesEveryPairAndKeepsAnOddLastByte) {
    Bytes data(161);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i);
    }
    Bytes sent = Sent([&](HANDLE p) { EXPECT_TRUE(SendRasterBlock(p, 0, 2, data.data(), data.size())); });
    ASSERT_EQ(sent.size(), 5u + 161);
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 5), (Bytes{0x1B, 0x2C, 0x00, 0x02, 0x00}));
    EXPECT_EQ(sent[5], 1);
    EXPECT_EQ(sent[6], 0);
    EXPECT_EQ(sent[5 + 158], 159);
    EXPECT_EQ(sent[5 + 159], 158);
    EXPECT_EQ(sent[5 + 160], 160);
    EXPECT_EQ(data[0], 1) << "the exchange is made in the caller's buffer";
}

TEST_F(PrinterCommands, RasterBlockRefusals) {
    Bytes data(160 * 256);
    EXPECT_EQ(Sent([&](HANDLE p) {
                  EXPECT_FALSE(SendRasterBlock(p, 3, 1, data.data(), 160));        // no such type
                  EXPECT_FALSE(SendRasterBlock(p, 0, 2, data.data(), 159));        // short of 2 x 80
                  EXPECT_FALSE(SendRasterBlock(p, 2, 2, data.data(), 319));        // short of 2 x 160
                  EXPECT_FALSE(SendRasterBlock(p, 0, 255, data.data(), 255 * 80)); // the printer reads 256 rows
                  EXPECT_FALSE(SendRasterBlock(p, 2, 300, data.data(), 300 * 160));
              }),
              Bytes{});
    Bytes sent = Sent([&](HANDLE p) { EXPECT_TRUE(SendRasterBlock(p, 1, 254, data.data(), 254 * 80)); });
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 5), (Bytes{0x1B, 0x2C, 0x01, 0xFE, 0x00}));
}

TEST_F(PrinterCommands, RasterBlockFailsWhenEitherWriteFails) {
    Bytes data(80, 0xAA);
    EXPECT_EQ(Sent([&](HANDLE p) {
                  HostFailPrinterWrite(1);
                  EXPECT_FALSE(SendRasterBlock(p, 0, 1, data.data(), data.size()));
              }),
              Bytes{});
    Bytes sent = Sent([&](HANDLE p) {
        HostFailPrinterWrite(2);
        EXPECT_FALSE(SendRasterBlock(p, 0, 1, data.data(), data.size()));
    });
    EXPECT_EQ(sent, (Bytes{0x1B, 0x2C, 0x00, 0x01, 0x00}));
}

TEST_F(PrinterCommands, PrintAreaHeightBeyondSixteenBitsIsRefused) {
    EXPECT_EQ(Sent([](HANDLE p) {
                  EXPECT_TRUE(SendPrintArea(p, 0xFFFF));
                  EXPECT_FALSE(SendPrintArea(p, 0x10000));
              }),
              (Bytes{0x1B, 0x57, 0, 0, 0, 0, 0x40, 0x02, 0xFF, 0xFF}));
}

} // namespace
