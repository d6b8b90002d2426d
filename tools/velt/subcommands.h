// The velt command: its exit codes, the command itself as a function (so that tests run it in-process),
// and the subcommands, one file each, which dispatch.cpp lists.
#pragma once

#include <ostream>

namespace velt {

// Exit codes shared by the subcommands.
constexpr int EXIT_OK = 0;
constexpr int EXIT_MALFORMED_INPUT = 1; // the input was read but is not what it should be
constexpr int EXIT_USAGE = 2;           // wrong options or arguments
constexpr int EXIT_FILE_ERROR = 3;      // a file could not be read or written
constexpr int EXIT_INPUT_ERROR = 3;     // what the input names (a printer) is missing or can't be used
constexpr int EXIT_SYSTEM_ERROR = 4;    // the work failed in the host or the driver
constexpr int EXIT_CANCELLED = 130;     // a signal (Ctrl-C, SIGTERM) cancelled the work

// velt itself, as main runs it: argv[0] is "velt", argv[1] the subcommand. Results go to out, problems
// to err; returns the exit code.
int RunVelt(int argc, char** argv, std::ostream& out, std::ostream& err);

class CommandLine;

// Each declares its subcommand on velt's command line (see dispatch.cpp).
void RegisterPreview(CommandLine& velt);
void RegisterInstall(CommandLine& velt);
void RegisterPrint(CommandLine& velt);
void RegisterPrinter(CommandLine& velt);
void RegisterCapabilities(CommandLine& velt);
void RegisterStatus(CommandLine& velt);
void RegisterVirtualPrinter(CommandLine& velt);

} // namespace velt
