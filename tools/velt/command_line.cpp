#include "command_line.h"

#include <algorithm>

#include "help_text.h"
#include "subcommands.h"
#include "velt_version.h"

namespace velt {
namespace {

// -h and --help on velt and on each subcommand. The flag acts as soon as it is read, so that help
// wins over a bad value elsewhere on the line.
void AddHelpFlag(CLI::App& app, const std::string& description) {
    app.set_help_flag();
    app.add_flag_callback(
           "-h,--help", [] { throw CLI::CallForHelp(); }, description)
        ->trigger_on_parse();
}

bool IsFlag(const CLI::Option& option) { return option.get_items_expected_max() == 0; }

// CLI11 reads "--name=" as "--name" and takes the next argument for its value, and lets a flag take a
// value ("--fit=no"). velt's options do neither: "--name=" gives the option an empty value, which its
// conversion refuses in its own words, and a flag with a value is refused. Arguments after "--" and
// the values of options stay as they are.
void KeepEmptyValues(std::vector<std::string>& args, size_t first, const CLI::App& subcommand) {
    for (size_t i = first; i < args.size() && args[i] != "--"; ++i) {
        const std::string& arg = args[i];
        size_t equals = arg.find('=');
        if (arg.rfind("--", 0) != 0 || equals == std::string::npos) {
            const CLI::Option* option = arg.size() > 1 && arg[0] == '-' ? subcommand.get_option_no_throw(arg) : nullptr;
            if (option && !IsFlag(*option)) ++i; // its value
            continue;
        }
        std::string name = arg.substr(0, equals);
        const CLI::Option* option = subcommand.get_option_no_throw(name);
        if (!option) continue;
        if (IsFlag(*option)) throw UsageError(name + " takes no value");
        if (equals + 1 == arg.size()) {
            args[i] = name;
            args.insert(args.begin() + static_cast<std::ptrdiff_t>(++i), std::string());
        }
    }
}

// CLI11 2.1 reads a "--" that follows a subcommand's arguments as the end of the subcommand, so that
// "velt print a.png -- -b.png" would hand -b.png back to velt. An argument list that takes every
// remaining argument (PICTURE...) asks for as many as it can take, which keeps "--" and what follows
// inside the subcommand.
void KeepArgumentsAfterDoubleDash(CLI::App& velt) {
    constexpr int kAll = CLI::detail::expected_max_vector_size;
    for (CLI::App* subcommand : velt.get_subcommands([](const CLI::App*) { return true; }))
        for (CLI::Option* option : subcommand->get_options())
            if (option->get_positional() && option->get_items_expected_max() >= kAll) option->expected(kAll, kAll);
}

// An argument that CLI11 left over, in velt's words.
std::string Unexpected(const std::string& arg, bool atVelt) {
    if (arg.size() > 1 && arg[0] == '-') {
        bool isLong = arg.rfind("--", 0) == 0;
        return "unknown option '" + (isLong ? arg.substr(0, arg.find('=')) : arg) + "'";
    }
    return (atVelt ? "unknown command '" : "unexpected argument '") + arg + "'";
}

struct Problem {
    const CLI::App* where;
    std::string cause;
};

// The cause of a usage error in velt's words, and the command it belongs to.
Problem Describe(const CLI::ParseError& error, const CLI::App& velt, const CLI::App* subcommand) {
    const CLI::App& where = subcommand ? *subcommand : velt;
    if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        if (std::vector<std::string> left = velt.remaining(); !left.empty()) return {&velt, Unexpected(left[0], true)};
        if (std::vector<std::string> left = where.remaining(); !left.empty())
            return {&where, Unexpected(left[0], &where == &velt)};
    }
    if (dynamic_cast<const CLI::RequiredError*>(&error)) {
        for (const CLI::Option* option : where.get_options())
            if (option->get_required() && option->count() == 0) return {&where, OptionUsage(*option) + " is required"};
    }
    // Of the mismatches, velt's options meet one: the last argument is an option without its value.
    std::string text = error.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) && text.ends_with(" missing"))
        return {&where, text.substr(0, text.find(':')) + " needs a value"};
    return {&where, text};
}

// The subcommand of a group named by the argument, or nullptr.
const CLI::App* FindIn(const CLI::App& group, const std::string& name) {
    for (const CLI::App* subcommand : group.get_subcommands([](const CLI::App*) { return true; }))
        if (subcommand->get_name() == name) return subcommand;
    return nullptr;
}

// The subcommand the parse chose, down through its groups; velt itself when none was chosen.
const CLI::App* Chosen(const CLI::App& velt) {
    const CLI::App* chosen = &velt;
    while (!chosen->get_subcommands().empty()) chosen = chosen->get_subcommands().front();
    return chosen;
}

// The one form of every usage error; at velt itself, the list of commands follows.
int ReportUsageError(const Problem& problem, const CLI::App& velt, std::ostream& err) {
    err << "velt" << (problem.where == &velt ? "" : " " + CommandPath(*problem.where)) << ": " << problem.cause << '\n';
    if (problem.where == &velt) err << VeltHelp(velt);
    return EXIT_USAGE;
}

} // namespace

UsageError::UsageError(std::string cause) : CLI::ParseError("UsageError", std::move(cause), EXIT_USAGE) {}

CommandLine::CommandLine() : velt_("the command of the VELT printer driver package", "velt") {
    AddHelpFlag(velt_, "show the commands and exit");
    velt_.set_version_flag("--version", std::string("velt ") + PACKAGE_VERSION, "show velt's version and exit");
    velt_.require_subcommand(0, 1);
    // As before CLI11: an option given twice takes the last value.
    velt_.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

CLI::App& CommandLine::Add(const std::string& name, const std::string& summary, SubcommandRun run) {
    CLI::App& subcommand = *velt_.add_subcommand(name, summary);
    AddHelpFlag(subcommand, "show this help and exit");
    runs_[&subcommand] = std::move(run);
    return subcommand;
}

CLI::App& CommandLine::AddTo(CLI::App& group, const std::string& name, const std::string& summary, SubcommandRun run) {
    group.require_subcommand(1);
    CLI::App& subcommand = *group.add_subcommand(name, summary);
    AddHelpFlag(subcommand, "show this help and exit");
    runs_[&subcommand] = std::move(run);
    return subcommand;
}

const CLI::App* CommandLine::Find(const std::string& name) const {
    for (const CLI::App* subcommand : velt_.get_subcommands([](const CLI::App*) { return true; }))
        if (subcommand->get_name() == name) return subcommand;
    return nullptr;
}

int CommandLine::Run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // velt's own options are flags: the first argument that names a subcommand chooses it.
    size_t named = 0;
    while (named < args.size() && !Find(args[named])) ++named;
    const CLI::App* subcommand = named < args.size() ? Find(args[named]) : nullptr;
    // A group's subcommand follows the group's name.
    if (subcommand && named + 1 < args.size())
        if (const CLI::App* nested = FindIn(*subcommand, args[named + 1])) {
            subcommand = nested;
            ++named;
        }

    KeepArgumentsAfterDoubleDash(velt_);
    try {
        if (subcommand) KeepEmptyValues(args, named + 1, *subcommand);
        std::reverse(args.begin(), args.end()); // CLI11 takes them from the back
        velt_.parse(std::move(args));
    } catch (const CLI::CallForHelp&) {
        const CLI::App* chosen = Chosen(velt_);
        out << (chosen == &velt_ ? VeltHelp(velt_) : SubcommandHelp(*chosen));
        return EXIT_OK;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return EXIT_OK;
    } catch (const CLI::ParseError& error) {
        return ReportUsageError(Describe(error, velt_, subcommand), velt_, err);
    }
    const CLI::App* chosen = Chosen(velt_);
    if (chosen == &velt_) {
        err << VeltHelp(velt_);
        return EXIT_USAGE;
    }
    return runs_.at(chosen)(out, err);
}

} // namespace velt
