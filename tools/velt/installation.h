// The installation that velt's printing needs, made on first use: the machine-wide registry key
// "SOFTWARE\Calvix" with VerticalDotCount, and the printer "VELT K9x" on the virtual printer's port
// with its default device mode and paper list. Everything lives in the host's store ($VELT_HOME).
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

// The virtual printer's port of the installed printer: its pictures land in <state folder>/preview.
std::u16string PreviewPortName();

struct InstallReport {
    bool createdKey = false;
    bool setDotCount = false;
    bool addedPrinter = false;
    bool repairedPrinter = false; // it was there without its paper list, which is now stored
    DWORD verticalDotCount = 0;
    std::u16string port;
};

// Makes sure the installation exists, leaving what is there as it is; a given VerticalDotCount
// replaces the stored one. On failure says what failed in `err` and returns false.
bool EnsureInstallation(std::optional<DWORD> verticalDotCount, InstallReport* report, std::ostream& err);

} // namespace velt
