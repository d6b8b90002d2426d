#include "stream_parser.h"

#include <algorithm>
#include <cstring>

#include "pair_exchange.h"

namespace vprinter {
namespace {

constexpr uint8_t ESC = 0x1B;
constexpr uint8_t GS = 0x1D;
constexpr uint8_t US = 0x1F;

// Every command of two bytes or more: its first two bytes and its whole fixed length.
struct CommandEntry {
    uint8_t first;
    uint8_t second;
    uint8_t length;
    CommandKind kind;
};

constexpr CommandEntry COMMANDS[] = {
    {ESC, 0x40, 2, CommandKind::Initialise},
    {ESC, 0x4C, 2, CommandKind::PageMode},
    {ESC, 0x53, 2, CommandKind::StandardMode},
    {ESC, 0x57, 10, CommandKind::PrintArea},
    {ESC, 0x33, 3, CommandKind::LineSpacing},
    {ESC, 0x2C, 5, CommandKind::RasterBlock},
    {GS, 0x56, 3, CommandKind::Cut},
    {US, 0x60, 3, CommandKind::SideMode},
    {US, 0x61, 3, CommandKind::SelectSide},
    {US, 0x62, 2, CommandKind::EndSheet},
    {US, 0x74, 2, CommandKind::PrintConfiguration},
    {US, 0x31, 3, CommandKind::GetConfiguration},
    {US, 0x32, 5, CommandKind::SetConfiguration},
};

const CommandEntry* FindCommand(uint8_t first, uint8_t second) {
    for (const CommandEntry& entry : COMMANDS)
        if (entry.first == first && entry.second == second) return &entry;
    return nullptr;
}

uint16_t Word(const uint8_t* low) { return static_cast<uint16_t>(low[0] | (low[1] << 8)); }

std::string Hex(uint8_t b) { return HexBytes(std::span<const uint8_t>(&b, 1)); }

} // namespace

void StreamParser::Feed(std::span<const uint8_t> bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        if (state_ == State::RasterData) {
            i += TakeRasterData(bytes.subspan(i));
            continue;
        }
        if (state_ == State::Skipping)
            SkippingByte(bytes[i]);
        else
            CommandByte(bytes[i]);
        ++i;
        ++offset_;
    }
}

void StreamParser::CommandByte(uint8_t b) {
    if (headerLength_ == 0) {
        commandOffset_ = offset_;
        switch (b) {
        case 0x00:
            ++zeroBytes_;
            sink_->OnIgnoredZero(offset_);
            return;
        case 0x0C: sink_->OnCommand(Command{.kind = CommandKind::FormFeed, .offset = offset_}); return;
        case 0x0A: sink_->OnCommand(Command{.kind = CommandKind::LineFeed, .offset = offset_}); return;
        case ESC:
        case GS:
        case US: header_[headerLength_++] = b; return;
        default: StartSkipping(StreamErrorKind::UnknownCommand, Hex(b), "no command starts with this byte", b); return;
        }
    }
    header_[headerLength_++] = b;
    if (headerLength_ == 2) {
        const CommandEntry* entry = FindCommand(header_[0], b);
        if (entry == nullptr) {
            std::string bytes = HexBytes(std::span<const uint8_t>(header_.data(), 2));
            headerLength_ = 0;
            StartSkipping(StreamErrorKind::UnknownCommand, bytes, "no command starts with these bytes", b);
            return;
        }
        kind_ = entry->kind;
        headerNeeded_ = entry->length;
    }
    if (headerLength_ == headerNeeded_) CompleteCommand();
}

void StreamParser::CompleteCommand() {
    const uint8_t* p = header_.data();
    Command command{.kind = kind_, .offset = commandOffset_};
    if (headerNeeded_ > 2) command.value = p[2];
    headerLength_ = 0;
    std::string name(CommandName(kind_));

    switch (kind_) {
    case CommandKind::SideMode:
        if (command.value != 0 && command.value != 2)
            return Report(StreamErrorKind::BadParameter, name,
                          "side mode " + Hex(command.value) + " (00 single side or 02 dual side expected)");
        break;
    case CommandKind::SelectSide:
        if (command.value > 1)
            return Report(StreamErrorKind::BadParameter, name,
                          "side " + Hex(command.value) + " (00 front or 01 back expected)");
        break;
    case CommandKind::Cut:
        if (command.value != 0x30 && command.value != 0x31 && command.value != 0x00 && command.value != 0x01)
            return Report(StreamErrorKind::BadParameter, name,
                          "cut mode " + Hex(command.value) + " (30, 31, 00 or 01 expected)");
        break;
    case CommandKind::GetConfiguration:
    case CommandKind::SetConfiguration: {
        uint8_t group = kind_ == CommandKind::GetConfiguration ? p[2] : p[4];
        command.value = group;
        if (group != 2 && group != 4)
            return Report(StreamErrorKind::BadParameter, name,
                          "configuration group " + Hex(group) + " (02 or 04 expected)");
        if (kind_ == CommandKind::SetConfiguration) {
            command.data[0] = p[2];
            command.data[1] = p[3];
        }
        break;
    }
    case CommandKind::PrintArea: command.area = PrintArea{Word(p + 2), Word(p + 4), Word(p + 6), Word(p + 8)}; break;
    case CommandKind::RasterBlock:
        command.rows = Word(p + 3);
        if (command.value > RASTER_TWO_COLOUR) {
            // The row length of an unknown type is unknown, so the end of its data is too.
            StartSkipping(StreamErrorKind::BadParameter, name,
                          "raster type " + Hex(command.value) + " (00, 01 or 02 expected), " +
                              std::to_string(command.rows) + " rows announced",
                          p[4]);
            return;
        }
        rasterType_ = command.value;
        rasterRows_ = command.rows;
        rowsLeft_ = command.rows;
        lineBytes_ = rasterType_ == RASTER_TWO_COLOUR ? LINE_BYTES_TWO_COLOUR : LINE_BYTES_MONO;
        lineLength_ = 0;
        sink_->OnCommand(command);
        if (rowsLeft_ != 0) state_ = State::RasterData;
        return;
    default: break;
    }
    sink_->OnCommand(command);
}

size_t StreamParser::TakeRasterData(std::span<const uint8_t> bytes) {
    if (lineLength_ == 0) lineOffset_ = offset_;
    size_t take = std::min(lineBytes_ - lineLength_, bytes.size());
    std::memcpy(line_.data() + lineLength_, bytes.data(), take);
    lineLength_ += take;
    offset_ += take;
    if (lineLength_ == lineBytes_) {
        std::span<uint8_t> line(line_.data(), lineBytes_);
        ExchangePairs(line);
        lineLength_ = 0;
        if (--rowsLeft_ == 0) state_ = State::Command;
        sink_->OnRasterRow(RasterRow{lineOffset_, rasterType_, line});
    }
    return take;
}

void StreamParser::SkippingByte(uint8_t b) {
    if (sawEscape_ && b == 0x40) {
        uint64_t initialiseOffset = offset_ - 1;
        skipError_.skipped = initialiseOffset - skipError_.offset;
        skipError_.resumed = true;
        sink_->OnError(skipError_);
        state_ = State::Command;
        sawEscape_ = false;
        sink_->OnCommand(Command{.kind = CommandKind::Initialise, .offset = initialiseOffset});
        return;
    }
    sawEscape_ = b == ESC;
}

void StreamParser::Report(StreamErrorKind kind, std::string command, std::string detail) {
    sink_->OnError(StreamError{
        .offset = commandOffset_, .command = std::move(command), .kind = kind, .detail = std::move(detail)});
}

void StreamParser::StartSkipping(StreamErrorKind kind, std::string command, std::string detail, uint8_t lastByte) {
    skipError_ =
        StreamError{.offset = commandOffset_, .command = std::move(command), .kind = kind, .detail = std::move(detail)};
    headerLength_ = 0;
    state_ = State::Skipping;
    // The offending command's last byte may already begin the initialise (1B 1B 40).
    sawEscape_ = lastByte == ESC;
}

void StreamParser::Finish() {
    if (state_ == State::Command && headerLength_ != 0) {
        std::string command;
        std::string detail;
        if (headerLength_ == 1) {
            command = Hex(header_[0]);
            detail = "the stream ends after the command's first byte";
        } else {
            command = CommandName(kind_);
            detail = std::to_string(headerLength_) + " of " + std::to_string(headerNeeded_) + " bytes present";
        }
        Report(StreamErrorKind::TruncatedCommand, std::move(command), std::move(detail));
    } else if (state_ == State::RasterData) {
        uint64_t missing = uint64_t{rowsLeft_} * lineBytes_ - lineLength_;
        uint32_t complete = rasterRows_ - rowsLeft_;
        Report(StreamErrorKind::TruncatedRaster, std::string(CommandName(CommandKind::RasterBlock)),
               std::to_string(missing) + " bytes missing; " + std::to_string(complete) + " of " +
                   std::to_string(rasterRows_) + " rows of " + std::to_string(lineBytes_) + " bytes complete");
    } else if (state_ == State::Skipping) {
        skipError_.skipped = offset_ - skipError_.offset;
        skipError_.resumed = false;
        sink_->OnError(skipError_);
    }
    state_ = State::Command;
    headerLength_ = 0;
    lineLength_ = 0;
    sawEscape_ = false;
}

void StreamParser::Reset() {
    state_ = State::Command;
    headerLength_ = 0;
    lineLength_ = 0;
    sawEscape_ = false;
    offset_ = 0;
    zeroBytes_ = 0;
}

} // namespace vprinter
