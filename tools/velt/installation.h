// The installation that velt's printing needs, made on first use: the machine-wide registry key
// "SOFTWARE\Calvix" with VerticalDotCount, the language monitor "VELTlmon" and the driver "VELT K9x"
// that names it, and the printer "VELT K9x" on the port USB001 with its default device mode, paper
// list and settings record; USB001 is attached to the virtual printer in <state folder>/vprinter/USB001.
// Everything lives in the host's store ($VELT_HOME). When the build has no language monitor module,
// the driver names none and jobs go straight to the port.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "host/engine.h"
#include "host/testing.h"
#include "platform.h"

namespace velt {

constexpr char16_t PRINTER_NAME[] = u"VELT K9x";
constexpr char16_t DRIVER_NAME[] = u"VELT K9x";
constexpr char16_t CALVIX_KEY[] = u"SOFTWARE\\Calvix";
constexpr char16_t VERTICAL_DOT_COUNT[] = u"VerticalDotCount";

// Rows per raster block: 24, the band height of the printer's classic 24-dot bit images. The driver's
// blocks must stay below 255 rows, so 1 to 254 are accepted.
constexpr DWORD DEFAULT_VERTICAL_DOT_COUNT = 24;
constexpr DWORD MAX_VERTICAL_DOT_COUNT = 254;

// The printer's default paper, "User Defined Size 1": an 80 mm roll, 150 mm long. The printable
// page is then 576 x 1020 dots, room for a till receipt, and well inside one page-mode area.
constexpr DWORD DEFAULT_PAPER_WIDTH_MM = 80;
constexpr DWORD DEFAULT_PAPER_LENGTH_MM = 150;

// The cause of a failed call in words; a failure of the host's store names the state folder too.
std::string ErrorText(DWORD code);

// Opens the host's persistent store ($VELT_HOME, or the user's data folder).
bool OpenHostStore(std::ostream& err);

constexpr char16_t MONITOR_NAME[] = u"VELTlmon";
constexpr char16_t MONITOR_MODULE[] = u"VELTlmon.dll";
constexpr char16_t PRINTER_PORT[] = u"USB001";

// The installed printer's port.
std::u16string PrinterPortName();
// The folder of the virtual printer attached to a port: <state folder>/vprinter/<port>.
std::string VirtualPrinterFolder(const std::u16string& port);
// Registers the virtual printer's ports with the host and attaches the installed printer's port to
// its virtual printer; false (saying why in err) when the host refuses.
bool AttachVirtualPrinters(std::ostream& err);

struct InstallReport {
    bool createdKey = false;
    bool setDotCount = false;
    bool addedPrinter = false;
    bool throughMonitor = false;  // the printer's driver names the language monitor
    bool repairedPrinter = false; // it was there without its paper list, which is now stored
    DWORD verticalDotCount = 0;
    std::u16string port;
};

// Makes sure the installation exists, leaving what is there as it is; a given VerticalDotCount
// replaces the stored one. On failure says what failed in `err` and returns false.
bool EnsureInstallation(std::optional<DWORD> verticalDotCount, InstallReport* report, std::ostream& err);

} // namespace velt
