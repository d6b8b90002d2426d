// The commands of the printer's byte stream, as the stream parser hands them to the printer model.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vprinter {

enum class CommandKind : uint8_t {
    Initialise,         // 1B 40
    SideMode,           // 1F 60 n: 0 single side, 2 dual side
    SelectSide,         // 1F 61 n: 0 front, 1 back
    EndSheet,           // 1F 62
    PageMode,           // 1B 4C
    PrintArea,          // 1B 57 xL xH yL yH wL wH hL hH
    StandardMode,       // 1B 53
    FormFeed,           // 0C
    LineSpacing,        // 1B 33 n
    LineFeed,           // 0A
    Cut,                // 1D 56 m
    RasterBlock,        // 1B 2C t nL nH, then the rows
    PrintConfiguration, // 1F 74
    GetConfiguration,   // 1F 31 n: 4 the paper/colour/knife group, 2 the receive-buffer group
    SetConfiguration,   // 1F 32 d0 d1 n
};

// The area of page mode in dots: origin, width and height.
struct PrintArea {
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t width = 0;
    uint16_t height = 0;
};

struct Command {
    CommandKind kind = CommandKind::Initialise;
    uint64_t offset = 0;  // of the command's first byte in the stream
    uint8_t value = 0;    // n of side mode, select side, line spacing and configuration; m of cut; t of raster
    uint16_t rows = 0;    // raster block: N = nL + 256 * nH
    PrintArea area{};     // print area
    uint8_t data[2] = {}; // set configuration: d0, d1
};

// Raster block types and the length of one printer line of each.
constexpr uint8_t RASTER_MONO = 0;
constexpr uint8_t RASTER_MONO_ALT = 1;
constexpr uint8_t RASTER_TWO_COLOUR = 2;
constexpr size_t LINE_BYTES_MONO = 80;
constexpr size_t LINE_BYTES_TWO_COLOUR = 160;

// One printer line of a raster block, its pair exchange already undone.
struct RasterRow {
    uint64_t offset = 0;           // of the row's first data byte in the stream
    uint8_t type = RASTER_MONO;    // the block's raster type
    std::span<const uint8_t> line; // 80 bytes (mono) or 160 bytes (first plane, then second plane)
};

enum class StreamErrorKind : uint8_t {
    UnknownCommand,   // a byte or byte pair that starts no command
    TruncatedCommand, // the stream ends inside a command's fixed bytes
    TruncatedRaster,  // the stream ends inside a raster block's rows
    BadParameter,     // a parameter value the printer does not accept
    PaperLimit,       // the job's paper reached the model's limit; nothing after it is printed
};

struct StreamError {
    uint64_t offset = 0; // of the offending command's first byte
    std::string command; // "raster block 1B 2C", or the bytes of an unknown command
    StreamErrorKind kind = StreamErrorKind::UnknownCommand;
    std::string detail; // what was wrong, with the values involved
    // After an error whose command length is unknown the parser cannot tell where the next command
    // starts; it skips to the next initialise. skipped counts the bytes not decoded from offset on.
    uint64_t skipped = 0;
    bool resumed = false; // an initialise was found and decoding went on from it
};

std::string_view CommandName(CommandKind kind);
// "offset 1234 (0x4D2)"
std::string OffsetText(uint64_t offset);
std::string_view ErrorKindName(StreamErrorKind kind);
// "offset 1234 (0x4D2): raster block 1B 2C: truncated raster data: 80 of 160 bytes missing"
std::string Describe(const StreamError& error);
// Bytes as the printer documentation writes them: "1B 2C 03".
std::string HexBytes(std::span<const uint8_t> bytes);

} // namespace vprinter
