// velt virtual-printer show [--port PORT] [--json] and velt virtual-printer set [--port PORT] KEY=VALUE...:
// the state of the virtual printer attached to a port (default USB001), kept in its folder, which a job
// printing in another process follows as it changes.
#include <nlohmann/json.hpp>

#include <memory>
#include <vector>

#include "command_line.h"
#include "installation.h"
#include "option_values.h"
#include "port_backend.h"
#include "state_file.h"
#include "subcommands.h"

namespace velt {
namespace {

struct VirtualPrinterOptions {
    std::vector<std::string> words; // the action, then KEY=VALUE...
    std::string port;
    bool json = false;
};

// The folder of the port's virtual printer: where the port is attached, or where it would be.
std::string FolderOf(const std::u16string& port) {
    std::u16string target;
    const std::u16string prefix = vprinter::VPRINTER_PORT_PREFIX;
    if (HostPortAttachment(port.c_str(), &target) && target.size() > prefix.size() && target.rfind(prefix, 0) == 0)
        return HostLinuxPath(target.c_str() + prefix.size());
    return VirtualPrinterFolder(port);
}

int Run(const VirtualPrinterOptions& options, std::ostream& out, std::ostream& err) {
    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    const std::u16string port = options.port.empty() ? std::u16string(PRINTER_PORT) : HostWide(options.port);
    const std::string folder = FolderOf(port);
    const std::string file = folder + "/" + vprinter::STATE_FILE_NAME;
    vprinter::PrinterState state;
    std::string error;
    if (std::filesystem::exists(file) && !vprinter::ReadStateFile(file, &state, error)) {
        err << "velt virtual-printer: " << error << '\n';
        return EXIT_FILE_ERROR;
    }
    if (options.words.front() == "set") {
        for (size_t i = 1; i < options.words.size(); ++i) {
            const std::string& word = options.words[i];
            const size_t equals = word.find('=');
            // Every word was checked before the store was opened; this one cannot fail now.
            vprinter::SetStateWord(state, word.substr(0, equals), word.substr(equals + 1), error);
        }
        if (!vprinter::WriteStateFile(file, state, error)) {
            err << "velt virtual-printer: " << error << '\n';
            return EXIT_FILE_ERROR;
        }
    }
    if (options.json) {
        nlohmann::json json = {{"port", HostNarrow(port.c_str())}, {"folder", folder}};
        for (const auto& [key, value] : vprinter::StateWords(state)) json[key] = value;
        out << json.dump(2) << '\n';
        return EXIT_OK;
    }
    out << "virtual printer on " << HostNarrow(port.c_str()) << " (" << folder << ")\n";
    for (const auto& [key, value] : vprinter::StateWords(state)) out << key << '=' << value << '\n';
    return EXIT_OK;
}

// The words as the command takes them; throws UsageError in velt's words.
void CheckWords(const VirtualPrinterOptions& options) {
    const std::vector<std::string>& words = options.words;
    if (words.empty()) throw UsageError("give show or set");
    if (words[0] != "show" && words[0] != "set") throw UsageError("takes show or set, not '" + words[0] + "'");
    if (words[0] == "show" && words.size() > 1) throw UsageError("unexpected argument '" + words[1] + "'");
    if (words[0] == "set" && words.size() == 1) throw UsageError("set needs KEY=VALUE");
    if (words[0] == "set" && options.json) throw UsageError("--json goes with show");
    vprinter::PrinterState scratch;
    for (size_t i = 1; i < words.size(); ++i) {
        const size_t equals = words[i].find('=');
        if (equals == std::string::npos) throw UsageError("'" + words[i] + "' is not KEY=VALUE");
        std::string error;
        if (!vprinter::SetStateWord(scratch, words[i].substr(0, equals), words[i].substr(equals + 1), error))
            throw UsageError(error);
    }
}

} // namespace

void RegisterVirtualPrinter(CommandLine& velt) {
    auto options = std::make_shared<VirtualPrinterOptions>();
    CLI::App& command = velt.Add("virtual-printer",
                                 "show or set the state of the virtual printer on a port (paper, door, errors, speed)",
                                 [options](std::ostream& out, std::ostream& err) { return Run(*options, out, err); });
    command
        .add_option("ACTION", options->words,
                    "show, or set followed by KEY=VALUE...: paper=ok|out door=closed|open cutter=ok|error "
                    "head-temp=ok|error power=ok|error head=ok|disconnected busy=no|yes stopped=no|yes "
                    "width=80|58 paper-colors=1|2 knife=on|off buffer=4k|line speed=N (mm/s, 0 at once)")
        ->required();
    AddText(command, "--port", "PORT", &options->port, "the port of the virtual printer (default: USB001)");
    command.add_flag("--json", options->json, "show: print one JSON object with the port, folder and every key");
    command.callback([options] { CheckWords(*options); });
}

} // namespace velt
