// velt preview: feeds a byte stream file to the virtual printer and writes one picture per piece of
// paper that comes out, then a summary and every error with its offset.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "job_report.h"
#include "option_values.h"
#include "piece_files.h"
#include "subcommands.h"
#include "virtual_printer.h"

namespace velt {
namespace {

namespace fs = std::filesystem;

struct PreviewOptions {
    std::string stream;
    std::string outDir;
    vprinter::PrinterState state;
};

// Feeds the file to the printer in pieces; on failure returns the reason.
bool FeedFile(const std::string& path, vprinter::VirtualPrinter& printer, std::string& reason) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        reason = "it is a folder";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    std::vector<char> buffer(64 * 1024);
    while (file) {
        file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<size_t>(file.gcount());
        printer.Feed(std::span(reinterpret_cast<const uint8_t*>(buffer.data()), got));
    }
    if (file.bad()) {
        reason = "read error";
        return false;
    }
    return true;
}

int Preview(const PreviewOptions& options, std::ostream& out, std::ostream& err) {
    vprinter::VirtualPrinter printer(options.state);
    std::string reason;
    if (!FeedFile(options.stream, printer, reason)) {
        err << "velt preview: cannot read '" << options.stream << "': " << reason << '\n';
        return EXIT_FILE_ERROR;
    }
    const vprinter::JobResult result = printer.Finish();

    const fs::path dir(options.outDir);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        err << "velt preview: cannot create folder '" << options.outDir << "': " << ec.message() << '\n';
        return EXIT_FILE_ERROR;
    }
    vprinter::RemovePieceFiles(dir);
    std::vector<std::string> paths;
    if (!vprinter::WritePieceFiles(dir, result.pieces, paths, reason)) {
        err << "velt preview: " << reason << '\n';
        return EXIT_FILE_ERROR;
    }

    out << options.stream << ": " << vprinter::SummaryLine(result.summary) << '\n';
    for (size_t i = 0; i < paths.size(); ++i) {
        const vprinter::Piece& piece = result.pieces[i];
        out << "  " << paths[i] << ": " << piece.Width() << " dots wide, " << piece.Rows() << " rows"
            << (piece.dualSide ? ", front and back" : "") << (piece.cut ? ", cut" : ", uncut") << '\n';
    }
    vprinter::WriteProblems(err, options.stream, result);
    return result.errors.empty() ? EXIT_OK : EXIT_MALFORMED_INPUT;
}

} // namespace

void RegisterPreview(CommandLine& velt) {
    auto options = std::make_shared<PreviewOptions>();
    CLI::App& preview =
        velt.Add("preview", "decode a printer byte stream into pictures of the paper (DIR/piece-001.png, ...)",
                 [options](std::ostream& out, std::ostream& err) { return Preview(*options, out, err); });
    CLI::Option* stream = preview.add_option(
        "STREAM", options->stream, "a file of the printer's commands, such as the one velt print --spool writes");
    AddText(preview, "-o,--out", "DIR", &options->outDir,
            "the folder for the pictures: DIR/piece-001.png, ..., one per cut piece of paper (the pieces of an "
            "earlier preview there are removed)")
        ->required();
    using vprinter::PaperWidth;
    AddChoice<PaperWidth>(preview, "--paper", {{"58", PaperWidth::Mm58}, {"80", PaperWidth::Mm80}},
                          &options->state.paperWidth, "the width of the printer's roll in millimetres (default: 80)");
    preview.add_flag("--color-paper,!--mono-paper", options->state.twoColourPaper,
                     "two-colour paper, on which the stream's red dots print red (the default), or mono paper, on "
                     "which they print black");
    preview.callback([stream] {
        if (stream->count() == 0) throw UsageError("give exactly one stream file");
    });
}

} // namespace velt
