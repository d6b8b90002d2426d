// The subcommands of velt. Each lives in its own file and takes its arguments as main does, with
// argv[0] the subcommand's name; it writes results to out and problems to err.
#pragma once

#include <ostream>
#include <span>

namespace velt {

// Exit codes shared by the subcommands.
constexpr int EXIT_OK = 0;
constexpr int EXIT_MALFORMED_INPUT = 1; // the input was read but is not what it should be
constexpr int EXIT_USAGE = 2;           // wrong options or arguments
constexpr int EXIT_FILE_ERROR = 3;      // a file could not be read or written

using SubcommandMain = int (*)(int argc, char** argv, std::ostream& out, std::ostream& err);

struct Subcommand {
    const char* name;
    const char* usage;   // the arguments after the name
    const char* summary; // one line for velt help
    SubcommandMain run;
};

// The table of subcommands, in the order velt help lists them.
std::span<const Subcommand> Subcommands();

// velt itself: picks the subcommand named by argv[1] and runs it.
int RunVelt(int argc, char** argv, std::ostream& out, std::ostream& err);

int RunPreview(int argc, char** argv, std::ostream& out, std::ostream& err);
int RunInstall(int argc, char** argv, std::ostream& out, std::ostream& err);
int RunPrint(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace velt
