// The settable state of the virtual printer: what paper and knife it has, which model it is, and the
// conditions its status reply reports. The configuration and status replies are built from it.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vprinter {

enum class PaperWidth : uint8_t { Mm80, Mm58 };

// The print head faults; the status reply encodes them in two bits of one byte.
enum class HeadFault : uint8_t { None, Temperature, PowerSupply, NotConnected };

struct PrinterState {
    PaperWidth paperWidth = PaperWidth::Mm80;
    bool twoColourPaper = true;
    bool knife = true;
    bool dualSideModel = true;
    bool oneLineBuffer = false; // 128-byte receive buffer instead of the normal 4K one
    uint8_t configByte0 = 0;    // byte 0 of the paper/colour/knife configuration, kept as last set

    bool busy = false;
    bool paperOut = false;
    bool doorOpen = false;
    bool cutterError = false;
    bool printingStopped = false;
    HeadFault headFault = HeadFault::None;

    // How fast paper comes out, in millimetres per second; 0 prints at once.
    unsigned speed = 0;

    bool operator==(const PrinterState&) const = default;
};

// Dots across the paper (576 on 80 mm, 432 on 58 mm), and the dot of the 640-dot printer line that
// lands on the paper's left edge (line byte 4 on 80 mm, line byte 24 on 58 mm).
int PaperDots(PaperWidth width);
int LineOrigin(PaperWidth width);

// The configuration groups of get and set configuration (1F 31 n, 1F 32 d0 d1 n).
constexpr uint8_t CONFIG_GROUP_BUFFER = 0x02;
constexpr uint8_t CONFIG_GROUP_OTHERS = 0x04;

// Bits of configuration byte 1.
constexpr uint8_t CONFIG_PAPER_58MM = 0x08;       // group 4
constexpr uint8_t CONFIG_TWO_COLOUR_PAPER = 0x10; // group 4
constexpr uint8_t CONFIG_KNIFE_DISABLED = 0x20;   // group 4
constexpr uint8_t CONFIG_ONE_LINE_BUFFER = 0x08;  // group 2

using Reply = std::array<uint8_t, 4>;

Reply ConfigurationReply(const PrinterState& state, uint8_t group);
void ApplyConfiguration(PrinterState& state, uint8_t group, uint8_t d0, uint8_t d1);

// The status query arrives through the USB printing class vendor command, not in the byte stream:
// a request that begins 14 01 01. Its reply holds the condition bits in bytes 0 to 3.
bool IsStatusQuery(std::span<const uint8_t> request);
Reply StatusReply(const PrinterState& state);

} // namespace vprinter
