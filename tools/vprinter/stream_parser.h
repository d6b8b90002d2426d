// Decodes the printer's byte stream into commands, raster rows and errors, in the order the printer
// meets them. The stream may arrive in pieces of any size (a port hands it over write by write).
//
// Errors: a command whose length is known (a bad side mode, select side or cut parameter) is reported
// and passed over, and decoding goes on behind it. After an unknown command byte or a raster type the
// printer does not know, the length of what follows is unknown: decoding it as commands would invent
// feeds and cuts from raster data, so the parser skips to the next initialise (1B 40, which starts every
// document and ends every job) and reports how many bytes it passed over. Zero bytes between commands
// (the fill block a cancelled job gets) are passed over, as the printer passes them over; the sink
// hears of each.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "stream_commands.h"

namespace vprinter {

class StreamSink {
public:
    virtual ~StreamSink() = default;
    virtual void OnCommand(const Command& command) = 0;
    virtual void OnRasterRow(const RasterRow& row) = 0;
    virtual void OnError(const StreamError& error) = 0;
    // A zero byte between commands, passed over as the printer passes it over.
    virtual void OnIgnoredZero(uint64_t /*offset*/) {}
};

class StreamParser {
public:
    explicit StreamParser(StreamSink& sink) : sink_(&sink) {}

    void Feed(std::span<const uint8_t> bytes);
    // The stream has ended: reports a command or raster block left incomplete, and an error whose
    // skipping never found an initialise.
    void Finish();
    // Starts a new stream at offset 0, dropping anything incomplete without a report.
    void Reset();

    uint64_t Offset() const { return offset_; }
    uint64_t IgnoredZeroBytes() const { return zeroBytes_; }

private:
    enum class State { Command, RasterData, Skipping };

    void CommandByte(uint8_t b);
    void CompleteCommand();
    size_t TakeRasterData(std::span<const uint8_t> bytes);
    void SkippingByte(uint8_t b);
    void Report(StreamErrorKind kind, std::string command, std::string detail);
    void StartSkipping(StreamErrorKind kind, std::string command, std::string detail, uint8_t lastByte);

    StreamSink* sink_;
    State state_ = State::Command;
    uint64_t offset_ = 0; // stream offset of the next byte
    uint64_t zeroBytes_ = 0;

    // The fixed bytes of the command being read; the longest is the print area's ten.
    uint64_t commandOffset_ = 0;
    std::array<uint8_t, 10> header_{};
    size_t headerLength_ = 0;
    size_t headerNeeded_ = 0;
    CommandKind kind_ = CommandKind::Initialise;

    // The raster block being read.
    uint8_t rasterType_ = RASTER_MONO;
    uint32_t rasterRows_ = 0;
    uint32_t rowsLeft_ = 0;
    size_t lineBytes_ = 0;
    size_t lineLength_ = 0;
    uint64_t lineOffset_ = 0;
    std::array<uint8_t, LINE_BYTES_TWO_COLOUR> line_{};

    // The error being skipped past; reported when an initialise is found or the stream ends.
    StreamError skipError_;
    bool sawEscape_ = false;
};

} // namespace vprinter
