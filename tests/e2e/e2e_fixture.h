// The whole road in one process: a printer on a port whose bytes the host records, the rendering
// driver VELT, pictures made in the test, and the virtual printer to read back the paper.
#pragma once

#include <string>
#include <vector>

#include "driver_devmode.h"
#include "host/engine.h"
#include "host_fixture.h"
#include "printer_stream.h"
#include "stream_difference.h"
#include "virtual_printer.h"

namespace e2e {

constexpr ULONG kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000;

struct Paper {
    SHORT width = 800; // tenths of a millimetre
    SHORT length = 500;
};

// The job's settings as the driver's record holds them.
struct Settings {
    Paper paper;
    SHORT color = DMCOLOR_MONOCHROME;
    SHORT duplex = DMDUP_SIMPLEX;
    SHORT pageModeControl = 0; // page mode
    SHORT cuttingControl = 0;  // cut after each page
};

// The printer a test decodes on (by default 80 mm two-colour paper and a knife) and the warnings it
// expects of the decode, each as text that the warning contains.
struct DecodeOn {
    vprinter::PrinterState printer = {};
    std::vector<std::string> expectWarnings = {};
};

class EndToEnd : public HostTest {
protected:
    static constexpr char16_t kPrinter[] = u"VELT K9x";
    static constexpr char16_t kPort[] = u"USB001";

    void SetUp() override;

    // Sets the registry value the driver reads at every page.
    void SetVerticalDotCount(DWORD rows);
    static std::vector<BYTE> Devmode(const Settings& settings);

    // Prints the pictures as one job; returns the bytes that reached the port.
    Bytes Print(const Settings& settings, const std::vector<const HostPicture*>& pages,
                HostPlacement placement = HostPlacement::TopLeft);
    // Feeds the bytes to a virtual printer. The decode must come out without errors and without
    // warnings but those the test expects: each warning must contain one of on.expectWarnings, and each
    // of those must be met.
    static vprinter::JobResult Decode(const Bytes& bytes, const DecodeOn& on = {});

    HostPrintResult last_;
};

// The rows of a printed side between `top` and `top + rows` as text: '.' white, '#' black, 'r' colour,
// columns x0..x1-1 only.
std::string SideText(const vprinter::SideImage& side, int top, int rows, int x0, int x1);

} // namespace e2e
