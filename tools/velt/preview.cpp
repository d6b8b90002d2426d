// velt preview: feeds a byte stream file to the virtual printer and writes one picture per piece of
// paper that comes out, then a summary and every error with its offset.
#include <getopt.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "job_report.h"
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

// Parses the options; on a usage error writes it to err and returns false.
bool ParseOptions(int argc, char** argv, PreviewOptions& options, std::ostream& err)
{
    static const option LONG_OPTIONS[] = {
        {"out", required_argument, nullptr, 'o'},      {"paper", required_argument, nullptr, 'p'},
        {"color-paper", no_argument, nullptr, 'c'},    {"mono-paper", no_argument, nullptr, 'm'},
        {nullptr, 0, nullptr, 0},
    };
    optind = 0; // a fresh scan, also when run more than once in one process
    opterr = 0;
    int c;
    while ((c = getopt_long(argc, argv, "o:", LONG_OPTIONS, nullptr)) != -1) {
        switch (c) {
        case 'o': options.outDir = optarg; break;
        case 'p':
            if (std::strcmp(optarg, "80") == 0) {
                options.state.paperWidth = vprinter::PaperWidth::Mm80;
            } else if (std::strcmp(optarg, "58") == 0) {
                options.state.paperWidth = vprinter::PaperWidth::Mm58;
            } else {
                err << "velt preview: --paper takes 58 or 80, not '" << optarg << "'\n";
                return false;
            }
            break;
        case 'c': options.state.twoColourPaper = true; break;
        case 'm': options.state.twoColourPaper = false; break;
        default:
            err << "velt preview: unknown or incomplete option '" << argv[optind - 1] << "'\n";
            return false;
        }
    }
    if (optind != argc - 1) {
        err << "velt preview: give exactly one stream file\n";
        return false;
    }
    options.stream = argv[optind];
    if (options.outDir.empty()) {
        err << "velt preview: --out DIR is required\n";
        return false;
    }
    return true;
}

// Feeds the file to the printer in pieces; on failure returns the reason.
bool FeedFile(const std::string& path, vprinter::VirtualPrinter& printer, std::string& reason)
{
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

} // namespace

int RunPreview(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    PreviewOptions options;
    if (!ParseOptions(argc, argv, options, err))
        return EXIT_USAGE;

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

} // namespace velt
