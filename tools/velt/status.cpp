// velt status [--printer NAME] [--json]: opens the printer's port through its language monitor, so
// that the monitor's status worker asks the printer once, then shows the status as the spooler holds
// it: the status word and its meaning, and each queued job with its status text.
#include <nlohmann/json.hpp>

#include <memory>
#include <vector>

#include "platform_owners.h"
#include "command_line.h"
#include "installation.h"
#include "option_values.h"
#include "subcommands.h"

namespace velt {
namespace {

// Long enough for the worker's first pass (its query, then a 100 ms pause) to have been made.
constexpr DWORD FIRST_POLL_MS = 400;

struct StatusOptions {
    std::string printer;
    bool json = false;
};

struct Meaning {
    DWORD bit;
    const char* words;
};

constexpr Meaning MEANINGS[] = {
    {PRINTER_STATUS_BUSY, "busy"},           {PRINTER_STATUS_PAPER_OUT, "paper out"},
    {PRINTER_STATUS_DOOR_OPEN, "door open"}, {PRINTER_STATUS_USER_INTERVENTION, "needs attention"},
    {PRINTER_STATUS_PAUSED, "paused"},       {PRINTER_STATUS_ERROR, "error"},
    {PRINTER_STATUS_OFFLINE, "offline"},
};

struct JobLine {
    DWORD id;
    DWORD status;
    std::string document, text;
};

std::vector<JobLine> Jobs(HANDLE printer) {
    std::vector<JobLine> lines;
    DWORD needed = 0, returned = 0;
    EnumJobsW(printer, 0, 0xFFFFFFFF, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !EnumJobsW(printer, 0, 0xFFFFFFFF, 1, buffer.data(), needed, &needed, &returned)) return lines;
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i)
        lines.push_back({info[i].JobId, info[i].Status, HostNarrow(info[i].pDocument), HostNarrow(info[i].pStatus)});
    return lines;
}

char Hex(unsigned digit) { return "0123456789ABCDEF"[digit & 0xF]; }

std::string Word(DWORD value) {
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += Hex(value >> shift);
    return text;
}

int Status(const StatusOptions& options, std::ostream& out, std::ostream& err) {
    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    InstallReport installed;
    if (!EnsureInstallation(std::nullopt, &installed, err)) return EXIT_SYSTEM_ERROR;
    const std::u16string name = options.printer.empty() ? std::u16string(PRINTER_NAME) : HostWide(options.printer);
    const PrinterHandle printer = OpenPrinterFor(name.c_str(), PRINTER_ACCESS_USE);
    if (!printer.get()) {
        err << "velt status: there is no printer \"" << HostNarrow(name.c_str()) << "\" (error " << GetLastError()
            << ")\n";
        return EXIT_FILE_ERROR;
    }
    if (!HostOpenPrinterPort(name.c_str())) {
        err << "velt status: cannot open the port of \"" << HostNarrow(name.c_str())
            << "\" through its language monitor (error " << GetLastError() << ")\n";
        return EXIT_SYSTEM_ERROR;
    }
    Sleep(FIRST_POLL_MS);

    DWORD needed = 0;
    GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    if (needed == 0 || !GetPrinterW(printer.get(), 2, info.data(), needed, &needed)) {
        err << "velt status: cannot read the printer \"" << HostNarrow(name.c_str()) << "\" (error " << GetLastError()
            << ")\n";
        return EXIT_SYSTEM_ERROR;
    }
    const auto* level2 = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
    const DWORD status = level2->Status;
    std::vector<std::string> meaning;
    for (const Meaning& m : MEANINGS)
        if (status & m.bit) meaning.push_back(m.words);
    const std::vector<JobLine> jobs = Jobs(printer.get());
    const std::string port = HostNarrow(level2->pPortName);

    if (options.json) {
        nlohmann::json json = {{"printer", HostNarrow(name.c_str())},
                               {"port", port},
                               {"status", status},
                               {"meaning", meaning},
                               {"jobs", nlohmann::json::array()}};
        for (const JobLine& job : jobs)
            json["jobs"].push_back(
                {{"id", job.id}, {"status", job.status}, {"document", job.document}, {"text", job.text}});
        out << json.dump(2) << '\n';
        return EXIT_OK;
    }
    std::string words;
    for (const std::string& m : meaning) words += (words.empty() ? "" : ", ") + m;
    out << "printer \"" << HostNarrow(name.c_str()) << "\" on " << port << '\n';
    out << "status " << Word(status) << ": " << (words.empty() ? "ready" : words) << '\n';
    if (jobs.empty()) out << "no jobs queued\n";
    for (const JobLine& job : jobs)
        out << "job " << job.id << " \"" << job.document << "\": " << (job.text.empty() ? "-" : job.text) << '\n';
    return EXIT_OK;
}

} // namespace

void RegisterStatus(CommandLine& velt) {
    auto options = std::make_shared<StatusOptions>();
    CLI::App& status =
        velt.Add("status", "ask the printer through its language monitor and show its status and queued jobs",
                 [options](std::ostream& out, std::ostream& err) { return Status(*options, out, err); });
    AddText(status, "--printer", "NAME", &options->printer, "the printer to show (default: \"VELT K9x\")");
    status.add_flag("--json", options->json, "print one JSON object: printer, port, status, meaning, jobs");
}

} // namespace velt
