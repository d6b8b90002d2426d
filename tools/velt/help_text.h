// velt's help pages, made from what the parser declares, so that they never miss an option: the
// synopsis of a subcommand ("[--paper WxL] ... PICTURE..."), its --help page, and velt's list of commands.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace velt {

// How the synopsis names one option or argument: "--out DIR", "--color-paper|--mono-paper",
// "PICTURE...".
std::string OptionUsage(const CLI::Option& option);

// The words after "velt" that name a subcommand: "print", "printer add".
std::string CommandPath(const CLI::App& subcommand);

// velt --help and velt help: every command with its synopsis and summary.
std::string VeltHelp(const CLI::App& velt);

// velt SUBCOMMAND --help: the synopsis, the summary, and every argument and option explained.
std::string SubcommandHelp(const CLI::App& subcommand);

} // namespace velt
