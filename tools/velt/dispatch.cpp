#include <memory>

#include "command_line.h"
#include "help_text.h"
#include "subcommands.h"

namespace velt {
namespace {

// velt help [COMMAND]: velt's list of commands, or one command's help page.
void RegisterHelp(CommandLine& velt) {
    auto command = std::make_shared<std::string>();
    CLI::App& help = velt.Add("help", "list the commands, or explain one command's arguments and options",
                              [&velt, command](std::ostream& out, std::ostream&) {
                                  const CLI::App* chosen = velt.Find(*command);
                                  out << (chosen ? SubcommandHelp(*chosen) : VeltHelp(velt.Parser()));
                                  return EXIT_OK;
                              });
    // CLI11 2.1 fills an argument that may be left out only when it may take extra ones: the callback
    // refuses a second.
    CLI::Option* named = help.add_option("COMMAND", *command, "the command to explain");
    named->expected(0, 1)->allow_extra_args();
    help.callback([&velt, command, named] {
        if (named->results().size() > 1) throw UsageError("unexpected argument '" + named->results()[1] + "'");
        if (!command->empty() && !velt.Find(*command)) throw UsageError("unknown command '" + *command + "'");
    });
}

// The subcommands, in the order velt help lists them. To add one, write its file NAME.cpp with
//     void RegisterName(CommandLine& velt)
// that calls velt.Add(name, one-line summary, run) and declares the options and arguments on the
// CLI::App it returns, each with a description (its --help page and the synopsis are made from
// them); option_values.h converts values in velt's words. A check that CLI11 cannot express goes in
// the App's callback and throws UsageError. Declare RegisterName in subcommands.h and list it here.
constexpr void (*SUBCOMMANDS[])(CommandLine&) = {
    RegisterPreview,      RegisterInstall, RegisterPrint,          RegisterPrinter,
    RegisterCapabilities, RegisterStatus,  RegisterVirtualPrinter, RegisterHelp,
};

} // namespace

int RunVelt(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CommandLine velt;
    for (auto registerSubcommand : SUBCOMMANDS) registerSubcommand(velt);
    return velt.Run(argc, argv, out, err);
}

} // namespace velt
