#include "job_report.h"

namespace vprinter {

std::string SummaryLine(const Summary& s) {
    return std::to_string(s.bytes) + " bytes, " + std::to_string(s.pieces) + " pieces, " + std::to_string(s.pages) +
           " pages, " + std::to_string(s.sheets) + " sheets, " + std::to_string(s.cuts) + " cuts, " +
           std::to_string(s.feeds) + " feeds (" + std::to_string(s.fedDots) + " dots), " +
           std::to_string(s.rasterBlocks) + " raster blocks, " + std::to_string(s.rows) + " rows, " +
           std::to_string(s.ignoredZeroBytes) + " zero bytes, " + std::to_string(s.errors) + " errors, " +
           std::to_string(s.warnings) + " warnings";
}

void WriteProblems(std::ostream& out, const std::string& streamName, const JobResult& result) {
    for (const Notice& warning : result.warnings) out << streamName << ": warning: " << Describe(warning) << '\n';
    for (const StreamError& error : result.errors) out << streamName << ": error: " << Describe(error) << '\n';
}

} // namespace vprinter
