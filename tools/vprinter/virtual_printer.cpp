#include "virtual_printer.h"

#include <algorithm>

#include "dot_line.h"

namespace vprinter {

std::string Describe(const Notice& notice) { return OffsetText(notice.offset) + ": " + notice.text; }

VirtualPrinter::VirtualPrinter(const PrinterState& state) : state_(state), parser_(*this)
{
    ResetModes(0);
    StartPiece();
}

void VirtualPrinter::Feed(std::span<const uint8_t> bytes)
{
    result_.summary.bytes += bytes.size();
    parser_.Feed(bytes);
}

JobResult VirtualPrinter::Finish()
{
    parser_.Finish();
    const uint64_t end = parser_.Offset();
    for (Side& side : sides_)
        DiscardArea(side, end, "the stream ends with");
    EndPiece(false, end);

    result_.summary.ignoredZeroBytes = parser_.IgnoredZeroBytes();
    result_.summary.errors = static_cast<unsigned>(result_.errors.size());
    result_.summary.warnings = static_cast<unsigned>(result_.warnings.size());
    JobResult done = std::move(result_);
    result_ = JobResult{};
    parser_.Reset();
    ResetModes(0);
    warnedBeside_ = false;
    keptRows_ = 0;
    paperFull_ = false;
    StartPiece();
    return done;
}

size_t VirtualPrinter::ReadReply(std::span<uint8_t> out)
{
    const size_t count = std::min(out.size(), replies_.size());
    std::copy_n(replies_.begin(), count, out.begin());
    replies_.erase(replies_.begin(), replies_.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

void VirtualPrinter::Warn(uint64_t offset, std::string text)
{
    result_.warnings.push_back(Notice{offset, std::move(text)});
}

void VirtualPrinter::StartPiece()
{
    pieceWidth_ = state_.paperWidth;
    pieceDual_ = dualMode_;
    // A piece keeps no more rows than the job has left: rows lost beyond a limit below MAX_ROWS are the
    // job's, not the piece's.
    const uint64_t left = MAX_JOB_ROWS - std::min(keptRows_, MAX_JOB_ROWS);
    const int limit = static_cast<int>(std::min<uint64_t>(left, SideImage::MAX_ROWS));
    for (Side& side : sides_)
        side.paper = SideImage(PaperDots(pieceWidth_), limit);
}

void VirtualPrinter::CheckPaperLimit(uint64_t offset, std::string_view command)
{
    if (paperFull_ || sides_[0].paper.MaxRows() >= SideImage::MAX_ROWS)
        return;
    if (sides_[0].paper.LostRows() == 0 && sides_[1].paper.LostRows() == 0)
        return;
    paperFull_ = true;
    result_.errors.push_back(StreamError{
        .offset = offset, .command = std::string(command), .kind = StreamErrorKind::PaperLimit,
        .detail = "the job's paper passed " + std::to_string(MAX_JOB_ROWS) +
                  " rows; the rest of the stream is decoded but prints nothing"});
}

void VirtualPrinter::LevelSides()
{
    const int rows = std::max(sides_[0].paper.Rows(), sides_[1].paper.Rows());
    for (Side& side : sides_)
        side.paper.PadTo(rows);
}

void VirtualPrinter::EndPiece(bool cut, uint64_t offset)
{
    if (pieceDual_)
        LevelSides();
    Piece piece{std::move(sides_[0].paper), std::move(sides_[1].paper), pieceDual_, cut};
    const uint64_t lost = std::max(piece.front.LostRows(), piece.back.LostRows());
    // Rows lost to the job's limit have their error already.
    const bool pieceLimit = piece.front.MaxRows() == SideImage::MAX_ROWS;
    if (lost != 0 && pieceLimit)
        Warn(offset, "piece longer than " + std::to_string(SideImage::MAX_ROWS) + " rows: the last " +
                         std::to_string(lost) + " rows are not shown");
    if (piece.Rows() > 0) {
        keptRows_ += static_cast<uint64_t>(piece.Rows());
        result_.pieces.push_back(std::move(piece));
        ++result_.summary.pieces;
    } else if (cut && lost == 0 && !paperFull_) {
        Warn(offset, "cut with no paper printed or fed since the previous cut");
    }
    StartPiece();
}

void VirtualPrinter::PrintSideArea(Side& side, uint64_t offset)
{
    if (!side.area.IsOpen())
        return;
    if (side.area.DroppedRows() != 0)
        Warn(offset, std::to_string(side.area.DroppedRows()) + " raster rows fell below the print area (" +
                         std::to_string(side.area.Area().height) + " rows high) and were not printed");
    result_.summary.dotsBesideThePaper += side.area.DroppedDots();
    side.paper.AppendRows(side.area.Print());
    ++result_.summary.pages;
}

void VirtualPrinter::DiscardArea(Side& side, uint64_t offset, const char* why)
{
    if (!side.area.IsOpen())
        return;
    if (side.area.PlacedRows() != 0)
        Warn(offset, std::string(why) + " a page-mode area of " + std::to_string(side.area.PlacedRows()) +
                         " raster rows that was never printed");
    side.area.Close();
}

void VirtualPrinter::ResetModes(uint64_t offset)
{
    for (Side& side : sides_)
        DiscardArea(side, offset, "initialise discards");
    lineSpacing_ = DEFAULT_LINE_SPACING;
    dualMode_ = false;
    selected_ = 0;
}

void VirtualPrinter::OnCommand(const Command& command)
{
    result_.commands.push_back(command);
    Summary& summary = result_.summary;
    Side& side = sides_[selected_];
    const uint64_t at = command.offset;

    switch (command.kind) {
    case CommandKind::Initialise:
        ++summary.initialises;
        ResetModes(at);
        break;
    case CommandKind::SideMode:
        if (command.value == 2 && !state_.dualSideModel) {
            Warn(at, "dual-side mode ignored: the printer is a single-side model");
        } else if (command.value == 2) {
            dualMode_ = true;
            pieceDual_ = true;
        } else {
            dualMode_ = false;
            selected_ = 0;
        }
        break;
    case CommandKind::SelectSide:
        if (!dualMode_)
            Warn(at, "select side ignored in single-side mode");
        else
            selected_ = command.value;
        break;
    case CommandKind::EndSheet:
        if (!dualMode_) {
            Warn(at, "end sheet ignored in single-side mode");
            break;
        }
        for (Side& each : sides_)
            PrintSideArea(each, at);
        LevelSides();
        ++summary.sheets;
        break;
    case CommandKind::PageMode:
        if (!side.area.IsOpen())
            side.area.Open(PaperDots(pieceWidth_));
        break;
    case CommandKind::PrintArea:
        if (!side.area.IsOpen()) {
            Warn(at, "print area ignored outside page mode");
            break;
        }
        if (command.area.y + command.area.height > MAX_AREA_ROWS)
            Warn(at, "print area of " + std::to_string(command.area.height) + " rows from row " +
                         std::to_string(command.area.y) + " cut to the printer's " + std::to_string(MAX_AREA_ROWS) +
                         " rows");
        side.area.SetArea(command.area);
        break;
    case CommandKind::StandardMode:
        DiscardArea(side, at, "standard mode discards");
        break;
    case CommandKind::FormFeed:
        PrintSideArea(side, at);
        break;
    case CommandKind::LineSpacing:
        lineSpacing_ = command.value;
        break;
    case CommandKind::LineFeed:
        ++summary.feeds;
        summary.fedDots += lineSpacing_;
        if (side.area.IsOpen())
            side.area.Advance(lineSpacing_);
        else
            side.paper.AppendBlank(lineSpacing_);
        break;
    case CommandKind::Cut:
        if (!state_.knife) {
            Warn(at, "cut ignored: the printer's knife is disabled");
            break;
        }
        ++summary.cuts;
        EndPiece(true, at);
        break;
    case CommandKind::RasterBlock:
        ++summary.rasterBlocks;
        break;
    case CommandKind::PrintConfiguration:
        ++summary.configurationCommands;
        break;
    case CommandKind::GetConfiguration: {
        ++summary.configurationCommands;
        const Reply reply = ConfigurationReply(state_, command.value);
        replies_.insert(replies_.end(), reply.begin(), reply.end());
        break;
    }
    case CommandKind::SetConfiguration:
        ++summary.configurationCommands;
        ApplyConfiguration(state_, command.value, command.data[0], command.data[1]);
        break;
    }
    CheckPaperLimit(at, CommandName(command.kind));
}

void VirtualPrinter::OnRasterRow(const RasterRow& row)
{
    ++result_.summary.rows;
    row_.resize(static_cast<size_t>(PaperDots(pieceWidth_)));
    const int beside = DecodeLine(row.type, row.line, pieceWidth_, state_.twoColourPaper, row_);
    if (beside != 0) {
        result_.summary.dotsBesideThePaper += static_cast<uint64_t>(beside);
        if (!warnedBeside_)
            Warn(row.offset, "raster row with printed dots beside the " +
                                 std::string(pieceWidth_ == PaperWidth::Mm58 ? "58" : "80") + " mm paper");
        warnedBeside_ = true;
    }
    Side& side = sides_[selected_];
    if (side.area.IsOpen())
        side.area.PutRow(row_);
    else
        side.paper.AppendRow(row_);
    CheckPaperLimit(row.offset, CommandName(CommandKind::RasterBlock));
}

void VirtualPrinter::OnError(const StreamError& error) { result_.errors.push_back(error); }

} // namespace vprinter
