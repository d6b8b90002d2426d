// velt's command line: one CLI11 parser for velt and every subcommand. It gives each subcommand
// -h/--help, gives velt --version and velt help, and words every usage error one way: one line
// "velt SUBCOMMAND: cause" on err, exit code 2.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <map>
#include <ostream>
#include <string>

namespace velt {

// A subcommand's work once its arguments are parsed and checked: writes results to out and
// problems to err, and returns velt's exit code.
using SubcommandRun = std::function<int(std::ostream& out, std::ostream& err)>;

// A usage error that velt's own checks find (a value's conversion, a subcommand's callback): what()
// is the cause alone, such as "--color takes mono or 2color, not 'blue'".
class UsageError : public CLI::ParseError {
public:
    explicit UsageError(std::string cause);
};

class CommandLine {
public:
    CommandLine();

    // Declares a subcommand: its name, one line for velt's list of commands, and its work. Its
    // options and arguments go on the returned App, each with a description for its --help; a check
    // that CLI11 cannot express goes in the App's callback, which throws UsageError.
    CLI::App& Add(const std::string& name, const std::string& summary, SubcommandRun run);

    // Declares a subcommand of a group of subcommands ("velt printer add"): the group is what Add
    // returned for it, declared without work of its own (run empty); velt GROUP --help lists the
    // group's subcommands, and each has a --help page of its own.
    CLI::App& AddTo(CLI::App& group, const std::string& name, const std::string& summary, SubcommandRun run);

    // The subcommand of that name, or nullptr.
    const CLI::App* Find(const std::string& name) const;

    const CLI::App& Parser() const { return velt_; }

    // Parses velt's arguments (argv[0] is velt) and runs the subcommand they choose.
    int Run(int argc, char** argv, std::ostream& out, std::ostream& err);

private:
    CLI::App velt_;
    std::map<const CLI::App*, SubcommandRun> runs_;
};

} // namespace velt
