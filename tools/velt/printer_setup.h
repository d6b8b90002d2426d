// Printers of the driver as velt sets them up: the driver installed with its configuration interface,
// then the printer added on a port, which the spooler completes through that interface (the driver's
// default device mode, the printer's settings record).
#pragma once

#include <ostream>
#include <string>

#include "platform.h"

namespace velt {

// The driver's files in the printer driver folder.
constexpr char16_t DRIVER_FILE[] = u"VELT.dll";
constexpr char16_t DRIVER_DATA_FILE[] = u"VELTrc.dll";
constexpr char16_t DRIVER_CONFIG_FILE[] = u"VELTui.dll";

// The port a printer is added on unless another is given.
constexpr char16_t DEFAULT_PORT[] = u"USB001";

// Whether the build has the language monitor: its module loads and exports InitializePrintMonitor.
bool MonitorModulePresent();

// Installs the driver "VELT K9x" unless it is installed, naming the language monitor "VELTlmon" (added
// first) when the build has it; says what failed (as `command`) and returns false when it can't be.
bool EnsureDriver(const std::string& command, std::ostream& err);

// Adds a printer of the driver on the port, bidirectional or not: ERROR_SUCCESS, or the spooler's
// error.
DWORD AddDriverPrinter(const std::u16string& name, const std::u16string& port, bool bidi);

// Says why the printer could not be added (as `command`) and returns velt's exit code for it.
int ReportAddFailure(const std::string& command, const std::u16string& name, DWORD error, std::ostream& err);

} // namespace velt
