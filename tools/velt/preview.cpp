// velt preview: feeds a byte stream file to the virtual printer and writes one picture per piece of
// paper that comes out, then a summary and every error with its offset.
#include <getopt.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "picture.h"
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

// A name this command writes: piece-001.png, piece-1000.png.
bool IsPieceName(const std::string& name)
{
    if (name.size() < 13 || name.rfind("piece-", 0) != 0 || name.substr(name.size() - 4) != ".png")
        return false;
    for (size_t i = 6; i < name.size() - 4; ++i)
        if (name[i] < '0' || name[i] > '9')
            return false;
    return true;
}

// Pictures of an earlier preview into the same folder would mix with this one's.
void RemoveOldPieces(const fs::path& dir)
{
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file(ec) && IsPieceName(entry.path().filename().string()))
            fs::remove(entry.path(), ec);
}

std::string PieceName(size_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "piece-%03zu.png", number);
    return name;
}

void PrintSummary(const std::string& stream, const vprinter::Summary& s, std::ostream& out)
{
    out << stream << ": " << s.bytes << " bytes, " << s.pieces << " pieces, " << s.pages << " pages, " << s.sheets
        << " sheets, " << s.cuts << " cuts, " << s.feeds << " feeds (" << s.fedDots << " dots), " << s.rasterBlocks
        << " raster blocks, " << s.rows << " rows, " << s.errors << " errors, " << s.warnings << " warnings\n";
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
    RemoveOldPieces(dir);

    PrintSummary(options.stream, result.summary, out);
    for (size_t i = 0; i < result.pieces.size(); ++i) {
        const vprinter::Piece& piece = result.pieces[i];
        const std::string path = (dir / PieceName(i + 1)).string();
        if (!vprinter::WritePng(path, vprinter::RenderPiece(piece), reason)) {
            err << "velt preview: cannot write '" << path << "': " << reason << '\n';
            return EXIT_FILE_ERROR;
        }
        out << "  " << path << ": " << piece.Width() << " dots wide, " << piece.Rows() << " rows"
            << (piece.dualSide ? ", front and back" : "") << (piece.cut ? ", cut" : ", uncut") << '\n';
    }
    for (const vprinter::Notice& warning : result.warnings)
        err << options.stream << ": warning: " << vprinter::Describe(warning) << '\n';
    for (const vprinter::StreamError& error : result.errors)
        err << options.stream << ": error: " << vprinter::Describe(error) << '\n';
    return result.errors.empty() ? EXIT_OK : EXIT_MALFORMED_INPUT;
}

} // namespace velt
