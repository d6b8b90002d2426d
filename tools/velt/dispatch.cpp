#include <cstring>

#include "subcommands.h"

namespace velt {
namespace {

constexpr Subcommand SUBCOMMANDS[] = {
    {"preview", "STREAM --out DIR [--paper 58|80] [--color-paper|--mono-paper]",
     "decode a printer byte stream into pictures of the paper (DIR/piece-001.png, ...)", RunPreview},
    {"install", "[--vertical-dot-count N]",
     "install the printer \"VELT K9x\" on the virtual printer, and VerticalDotCount (rows per raster block)",
     RunInstall},
    {"print",
     "[--paper WxL] [--orientation portrait|landscape] [--color mono|2color] [--sides single|dual]\n"
     "             [--mode page|standard] [--cut page|end] [--fit] [--spool FILE] [--preview DIR]\n"
     "             [--printer NAME] PICTURE...",
     "print PNG pictures, one per page, through the driver and the spooler to the printer", RunPrint},
};

void Usage(std::ostream& to)
{
    to << "usage: velt COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const Subcommand& command : Subcommands())
        to << "  velt " << command.name << ' ' << command.usage << "\n      " << command.summary << '\n';
}

} // namespace

std::span<const Subcommand> Subcommands() { return SUBCOMMANDS; }

int RunVelt(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    if (argc < 2) {
        Usage(err);
        return EXIT_USAGE;
    }
    const char* name = argv[1];
    if (std::strcmp(name, "help") == 0 || std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
        Usage(out);
        return EXIT_OK;
    }
    for (const Subcommand& command : Subcommands())
        if (std::strcmp(name, command.name) == 0)
            return command.run(argc - 1, argv + 1, out, err);
    err << "velt: unknown command '" << name << "'\n";
    Usage(err);
    return EXIT_USAGE;
}

} // namespace velt
