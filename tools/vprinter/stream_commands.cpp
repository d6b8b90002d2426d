#include "stream_commands.h"

#include <cstdio>

namespace vprinter {

std::string_view CommandName(CommandKind kind) {
    switch (kind) {
    case CommandKind::Initialise: return "initialise 1B 40";
    case CommandKind::SideMode: return "side mode 1F 60";
    case CommandKind::SelectSide: return "select side 1F 61";
    case CommandKind::EndSheet: return "end sheet 1F 62";
    case CommandKind::PageMode: return "page mode 1B 4C";
    case CommandKind::PrintArea: return "print area 1B 57";
    case CommandKind::StandardMode: return "standard mode 1B 53";
    case CommandKind::FormFeed: return "form feed 0C";
    case CommandKind::LineSpacing: return "line spacing 1B 33";
    case CommandKind::LineFeed: return "line feed 0A";
    case CommandKind::Cut: return "cut 1D 56";
    case CommandKind::RasterBlock: return "raster block 1B 2C";
    case CommandKind::PrintConfiguration: return "print configuration 1F 74";
    case CommandKind::GetConfiguration: return "get configuration 1F 31";
    case CommandKind::SetConfiguration: return "set configuration 1F 32";
    }
    return "command";
}

std::string_view ErrorKindName(StreamErrorKind kind) {
    switch (kind) {
    case StreamErrorKind::UnknownCommand: return "unknown command";
    case StreamErrorKind::TruncatedCommand: return "truncated command";
    case StreamErrorKind::TruncatedRaster: return "truncated raster data";
    case StreamErrorKind::BadParameter: return "bad parameter";
    case StreamErrorKind::PaperLimit: return "paper limit";
    }
    return "error";
}

std::string HexBytes(std::span<const uint8_t> bytes) {
    std::string text;
    char hex[4];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        if (!text.empty()) text += ' ';
        text += hex;
    }
    return text;
}

std::string OffsetText(uint64_t offset) {
    char text[64];
    std::snprintf(text, sizeof text, "offset %llu (0x%llX)", static_cast<unsigned long long>(offset),
                  static_cast<unsigned long long>(offset));
    return text;
}

std::string Describe(const StreamError& error) {
    std::string text = OffsetText(error.offset);
    text += ": ";
    text += error.command;
    text += ": ";
    text += ErrorKindName(error.kind);
    if (!error.detail.empty()) {
        text += ": ";
        text += error.detail;
    }
    if (error.skipped != 0) {
        text += error.resumed ? "; skipped " : "; the remaining ";
        text += std::to_string(error.skipped);
        text += error.resumed ? " bytes up to the next initialise 1B 40" : " bytes were not decoded";
    }
    return text;
}

} // namespace vprinter
