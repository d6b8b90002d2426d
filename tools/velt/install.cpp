// velt install [--vertical-dot-count N]: makes (or checks) the installation that printing needs.
#include <cstring>
#include <string>

#include "installation.h"
#include "subcommands.h"

namespace velt {
namespace {

constexpr char kUsage[] = "usage: velt install [--vertical-dot-count N]\n";

// A whole decimal number in 1..254, nothing else.
bool ParseDotCount(const char* text, DWORD* value) {
    if (!text || !*text || std::strlen(text) > 3) return false;
    DWORD n = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        n = n * 10 + static_cast<DWORD>(*c - '0');
    }
    if (n < 1 || n > MAX_VERTICAL_DOT_COUNT) return false;
    *value = n;
    return true;
}

} // namespace

int RunInstall(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::optional<DWORD> dotCount;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--vertical-dot-count=", 0) == 0) {
            value = arg.substr(std::strlen("--vertical-dot-count="));
            hasValue = true;
        } else if (arg == "--vertical-dot-count") {
            if (i + 1 >= argc) {
                err << "velt install: --vertical-dot-count needs a number\n" << kUsage;
                return EXIT_USAGE;
            }
            value = argv[++i];
            hasValue = true;
        }
        if (!hasValue) {
            err << "velt install: unknown argument '" << arg << "'\n" << kUsage;
            return EXIT_USAGE;
        }
        DWORD n = 0;
        if (!ParseDotCount(value.c_str(), &n)) {
            err << "velt install: --vertical-dot-count must be a whole number from 1 to " << MAX_VERTICAL_DOT_COUNT
                << " (rows per raster block), not '" << value << "'\n";
            return EXIT_USAGE;
        }
        dotCount = n;
    }

    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    InstallReport report;
    if (!EnsureInstallation(dotCount, &report, err)) return EXIT_SYSTEM_ERROR;
    out << (report.createdKey ? "created" : "kept") << " HKLM\\" << HostNarrow(CALVIX_KEY) << '\n';
    out << (report.setDotCount ? "set" : "kept") << ' ' << HostNarrow(VERTICAL_DOT_COUNT) << " = "
        << report.verticalDotCount << '\n';
    out << (report.addedPrinter ? "added" : "kept") << " printer \"" << HostNarrow(PRINTER_NAME) << "\"";
    if (report.addedPrinter)
        out << " (driver \"" << HostNarrow(DRIVER_NAME) << "\", port " << HostNarrow(report.port.c_str())
            << ", paper " << DEFAULT_PAPER_WIDTH_MM << " x " << DEFAULT_PAPER_LENGTH_MM << " mm)";
    out << "\nstate folder: " << HostHomeFolder() << '\n';
    return EXIT_OK;
}

} // namespace velt
