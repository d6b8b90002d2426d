#include "printer_state.h"

namespace vprinter {

int PaperDots(PaperWidth width) { return width == PaperWidth::Mm58 ? 432 : 576; }

int LineOrigin(PaperWidth width) { return width == PaperWidth::Mm58 ? 24 * 8 : 4 * 8; }

Reply ConfigurationReply(const PrinterState& state, uint8_t group) {
    Reply reply{};
    if (group == CONFIG_GROUP_OTHERS) {
        reply[0] = state.configByte0;
        if (state.paperWidth == PaperWidth::Mm58) reply[1] |= CONFIG_PAPER_58MM;
        if (state.twoColourPaper) reply[1] |= CONFIG_TWO_COLOUR_PAPER;
        if (!state.knife) reply[1] |= CONFIG_KNIFE_DISABLED;
    } else if (group == CONFIG_GROUP_BUFFER) {
        if (state.oneLineBuffer) reply[1] |= CONFIG_ONE_LINE_BUFFER;
    }
    return reply;
}

void ApplyConfiguration(PrinterState& state, uint8_t group, uint8_t d0, uint8_t d1) {
    if (group == CONFIG_GROUP_OTHERS) {
        state.configByte0 = d0;
        state.paperWidth = (d1 & CONFIG_PAPER_58MM) ? PaperWidth::Mm58 : PaperWidth::Mm80;
        state.twoColourPaper = (d1 & CONFIG_TWO_COLOUR_PAPER) != 0;
        state.knife = (d1 & CONFIG_KNIFE_DISABLED) == 0;
    } else if (group == CONFIG_GROUP_BUFFER) {
        state.oneLineBuffer = (d1 & CONFIG_ONE_LINE_BUFFER) != 0;
    }
}

bool IsStatusQuery(std::span<const uint8_t> request) {
    return request.size() >= 3 && request[0] == 0x14 && request[1] == 0x01 && request[2] == 0x01;
}

Reply StatusReply(const PrinterState& state) {
    Reply reply{};
    if (state.busy) reply[0] |= 0x08;
    if (state.doorOpen) reply[1] |= 0x04;
    if (state.printingStopped) reply[1] |= 0x20;
    if (state.cutterError) reply[2] |= 0x08;
    switch (state.headFault) {
    case HeadFault::None: break;
    case HeadFault::Temperature: reply[2] |= 0x40; break;
    case HeadFault::PowerSupply: reply[2] |= 0x60; break;
    case HeadFault::NotConnected: reply[2] |= 0x20; break;
    }
    if (state.paperOut) reply[3] |= 0x20;
    return reply;
}

} // namespace vprinter
