// velt install [--vertical-dot-count N]: makes (or checks) the installation that printing needs.
#include <memory>
#include <optional>

#include "command_line.h"
#include "installation.h"
#include "option_values.h"
#include "subcommands.h"

namespace velt {
namespace {

int Install(std::optional<DWORD> dotCount, std::ostream& out, std::ostream& err) {
    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    InstallReport report;
    if (!EnsureInstallation(dotCount, &report, err)) return EXIT_SYSTEM_ERROR;
    out << (report.createdKey ? "created" : "kept") << " HKLM\\" << HostNarrow(CALVIX_KEY) << '\n';
    out << (report.setDotCount ? "set" : "kept") << ' ' << HostNarrow(VERTICAL_DOT_COUNT) << " = "
        << report.verticalDotCount << '\n';
    out << (report.addedPrinter ? "added" : "kept") << " printer \"" << HostNarrow(PRINTER_NAME) << "\"";
    if (report.addedPrinter)
        out << " (driver \"" << HostNarrow(DRIVER_NAME) << "\", port " << HostNarrow(report.port.c_str()) << ", paper "
            << DEFAULT_PAPER_WIDTH_MM << " x " << DEFAULT_PAPER_LENGTH_MM << " mm)";
    out << '\n';
    if (report.throughMonitor)
        out << "language monitor " << HostNarrow(MONITOR_NAME) << '\n';
    else
        out << "no language monitor in this build: jobs go straight to the port\n";
    out << "virtual printer: " << VirtualPrinterFolder(PRINTER_PORT) << '\n';
    out << "state folder: " << HostHomeFolder() << '\n';
    return EXIT_OK;
}

} // namespace

void RegisterInstall(CommandLine& velt) {
    auto dotCount = std::make_shared<std::optional<DWORD>>();
    CLI::App& install = velt.Add(
        "install",
        "install the printer \"VELT K9x\" on USB001 (the virtual printer) through VELTlmon, and VerticalDotCount",
        [dotCount](std::ostream& out, std::ostream& err) { return Install(*dotCount, out, err); });
    AddWholeNumber(install, "--vertical-dot-count", 1, MAX_VERTICAL_DOT_COUNT, dotCount.get(), "rows per raster block",
                   "the rows of each raster block the driver sends, stored as VerticalDotCount in "
                   "HKLM\\SOFTWARE\\Calvix (default: keep the stored value, or 24 when there is none)");
}

} // namespace velt
