// The text report of one stream: a summary line, then every warning and error with its offset.
#pragma once

#include <ostream>
#include <string>

#include "virtual_printer.h"

namespace vprinter {

// "1234 bytes, 2 pieces, 2 pages, 0 sheets, 2 cuts, 2 feeds (360 dots), 2 raster blocks, 2 rows, 0 zero bytes, 0
// errors, 0 warnings"
std::string SummaryLine(const Summary& summary);

// One line per warning and error, each starting with the stream's name: "job.bin: error: offset ...".
void WriteProblems(std::ostream& out, const std::string& streamName, const JobResult& result);

} // namespace vprinter
