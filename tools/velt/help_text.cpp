#include "help_text.h"

#include <sstream>
#include <vector>

namespace velt {
namespace {

constexpr size_t kWidth = 100;    // the right margin of every page
constexpr size_t kExplainAt = 28; // the column where the explanation of an option begins

bool IsFlag(const CLI::Option& option) { return option.get_items_expected_max() == 0; }
bool IsHelp(const CLI::Option& option) { return option.check_lname("help"); }
bool IsArgument(const CLI::Option* option) { return option->get_positional(); }
bool IsOption(const CLI::Option* option) { return !option->get_positional(); }

bool IsOptional(const CLI::Option& option) {
    return option.get_positional() ? option.get_items_expected_min() == 0 : !option.get_required();
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Words joined by spaces in lines up to the margin, never broken; the first line goes on from
// `column`, the others begin at `indent`.
std::string Fill(const std::vector<std::string>& words, size_t column, size_t indent) {
    std::string text;
    bool lineStart = true;
    for (const std::string& word : words) {
        if (!lineStart && column + 1 + word.size() > kWidth) {
            text += '\n' + std::string(indent, ' ');
            column = indent;
            lineStart = true;
        }
        if (!lineStart) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        lineStart = false;
    }
    return text;
}

// A subcommand's options and arguments in the order they are declared, the optional ones in
// brackets: "STREAM", "--out DIR", "[--paper 58|80]", "[--color-paper|--mono-paper]".
std::vector<std::string> SynopsisItems(const CLI::App& subcommand) {
    std::vector<std::string> items;
    for (const CLI::Option* option : subcommand.get_options()) {
        if (IsHelp(*option)) continue;
        std::string usage = OptionUsage(*option);
        items.push_back(IsOptional(*option) ? "[" + usage + "]" : usage);
    }
    return items;
}

// The names of an option in the list of options: "-o, --out DIR".
std::string ListedNames(const CLI::Option& option) {
    if (option.get_positional()) return OptionUsage(option);
    std::string names;
    for (const std::string& name : option.get_snames()) names += (names.empty() ? "-" : ", -") + name;
    for (const std::string& name : option.get_lnames()) names += (names.empty() ? "--" : ", --") + name;
    return IsFlag(option) ? names : names + ' ' + option.get_type_name();
}

void ListOption(std::ostringstream& page, const CLI::Option& option) {
    std::string names = "  " + ListedNames(option);
    page << names;
    if (names.size() + 2 <= kExplainAt)
        page << std::string(kExplainAt - names.size(), ' ');
    else
        page << '\n' << std::string(kExplainAt, ' ');
    page << Fill(Words(option.get_description()), kExplainAt, kExplainAt) << '\n';
}

} // namespace

std::string OptionUsage(const CLI::Option& option) {
    if (option.get_positional()) return option.get_name() + (option.get_items_expected_max() > 1 ? "..." : "");
    std::vector<std::string> names;
    for (const std::string& name : option.get_lnames()) names.push_back("--" + name);
    if (names.empty())
        for (const std::string& name : option.get_snames()) names.push_back("-" + name);
    // The names of a flag are alternatives (--color-paper|--mono-paper); an option goes by its first.
    if (!IsFlag(option)) return names.front() + ' ' + option.get_type_name();
    std::string usage;
    for (const std::string& name : names) usage += (usage.empty() ? "" : "|") + name;
    return usage;
}

std::string CommandPath(const CLI::App& subcommand) {
    std::string path = subcommand.get_name();
    for (const CLI::App* group = subcommand.get_parent(); group && group->get_parent(); group = group->get_parent())
        path = group->get_name() + ' ' + path;
    return path;
}

namespace {

std::vector<const CLI::App*> SubcommandsOf(const CLI::App& app) {
    std::vector<const CLI::App*> all;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) all.push_back(command);
    return all;
}

// Each command with its synopsis and summary; a group of commands lists each of its own.
void ListCommands(std::ostringstream& page, const std::vector<const CLI::App*>& commands) {
    for (const CLI::App* command : commands) {
        if (std::vector<const CLI::App*> nested = SubcommandsOf(*command); !nested.empty()) {
            ListCommands(page, nested);
            continue;
        }
        std::string head = "  velt " + CommandPath(*command);
        std::vector<std::string> items = SynopsisItems(*command);
        page << head << (items.empty() ? "" : " " + Fill(items, head.size() + 1, head.size() + 1)) << "\n      "
             << Fill(Words(command->get_description()), 6, 6) << '\n';
    }
}

} // namespace

std::string VeltHelp(const CLI::App& velt) {
    std::ostringstream page;
    page << "usage: velt COMMAND [ARGUMENTS]\n"
            "       velt --version\n\n"
            "commands:\n";
    ListCommands(page, SubcommandsOf(velt));
    page << "\nvelt COMMAND --help explains the command's arguments and options.\n";
    return page.str();
}

std::string SubcommandHelp(const CLI::App& subcommand) {
    std::ostringstream page;
    std::string head = "usage: velt " + CommandPath(subcommand);
    if (std::vector<const CLI::App*> nested = SubcommandsOf(subcommand); !nested.empty()) {
        page << head << " COMMAND [ARGUMENTS]\n\n"
             << Fill(Words(subcommand.get_description()), 0, 0) << "\n\ncommands:\n";
        ListCommands(page, nested);
        page << "\noptions:\n";
        for (const CLI::Option* option : subcommand.get_options(IsOption))
            if (IsHelp(*option)) ListOption(page, *option);
        return page.str();
    }
    std::vector<std::string> items = SynopsisItems(subcommand);
    page << head << (items.empty() ? "" : " " + Fill(items, head.size() + 1, head.size() + 1)) << "\n\n"
         << Fill(Words(subcommand.get_description()), 0, 0) << '\n';
    std::vector<const CLI::Option*> arguments = subcommand.get_options(IsArgument);
    if (!arguments.empty()) {
        page << "\narguments:\n";
        for (const CLI::Option* option : arguments) ListOption(page, *option);
    }
    // The options as declared, then -h, --help.
    page << "\noptions:\n";
    for (const CLI::Option* option : subcommand.get_options(IsOption))
        if (!IsHelp(*option)) ListOption(page, *option);
    for (const CLI::Option* option : subcommand.get_options(IsOption))
        if (IsHelp(*option)) ListOption(page, *option);
    return page.str();
}

} // namespace velt
