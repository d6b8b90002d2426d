#include "virtual_printer.h"

#include <algorithm>

#include "configuration_page.h"
#include "dot_line.h"

namespace vprinter {

namespace {
// The feed after the configuration page: from the print head to the knife.
constexpr int CONFIGURATION_PAGE_FEED = 180;
} // namespace

std::string Describe(const Notice& notice) { return OffsetText(notice.offset) + ": " + notice.text; }

VirtualPrinter::VirtualPrinter(const PrinterState& state) : state_(state), parser_(*this) {
    jobRowLimit_ = MAX_JOB_ROWS;
    ResetModes(0);
    StartPiece();
}

void VirtualPrinter::Feed(std::span<const uint8_t> bytes) {
    result_.summary.bytes += bytes.size();
    parser_.Feed(bytes);
}

JobResult VirtualPrinter::Finish() {
    parser_.Finish();
    const uint64_t end = parser_.Offset();
    if (tall_.stage != TallArea::Stage::None) ReportTallArea();
    for (Side& side : sides_) DiscardArea(side, end, "the stream ends with");
    EndPiece(false, end);

    result_.summary.ignoredZeroBytes = parser_.IgnoredZeroBytes();
    result_.summary.errors = static_cast<unsigned>(result_.errors.size());
    result_.summary.warnings = static_cast<unsigned>(result_.warnings.size());
    JobResult done = std::move(result_);
    result_ = JobResult{};
    parser_.Reset();
    ResetModes(0);
    warned_ = {};
    tall_ = TallArea{};
    keptRows_ = 0;
    paperFull_ = false;
    StartPiece();
    return done;
}

size_t VirtualPrinter::ReadReply(std::span<uint8_t> out) {
    const size_t count = std::min(out.size(), replies_.size());
    std::copy_n(replies_.begin(), count, out.begin());
    replies_.erase(replies_.begin(), replies_.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

void VirtualPrinter::Warn(uint64_t offset, std::string text) {
    result_.warnings.push_back(Notice{offset, std::move(text)});
}

void VirtualPrinter::WarnOnce(Once kind, uint64_t offset, std::string text) {
    bool& warned = warned_[static_cast<size_t>(kind)];
    if (!warned) Warn(offset, std::move(text));
    warned = true;
}

void VirtualPrinter::StartPiece() {
    pieceWidth_ = state_.paperWidth;
    pieceDual_ = dualMode_;
    // A piece keeps no more rows than the job has left: rows lost beyond a limit below MAX_ROWS are the
    // job's, not the piece's.
    const uint64_t left = jobRowLimit_ - std::min(keptRows_, jobRowLimit_);
    const int limit = static_cast<int>(std::min<uint64_t>(left, SideImage::MAX_ROWS));
    for (Side& side : sides_) side.paper = SideImage(PaperDots(pieceWidth_), limit);
}

void VirtualPrinter::LimitJobRows(uint64_t rows) {
    jobRowLimit_ = std::min(rows, MAX_JOB_ROWS);
    // A piece that holds nothing yet takes the new limit at once.
    if (sides_[0].paper.Rows() == 0 && sides_[1].paper.Rows() == 0) StartPiece();
}

void VirtualPrinter::CheckPaperLimit(uint64_t offset, std::string_view command) {
    if (paperFull_ || sides_[0].paper.MaxRows() >= SideImage::MAX_ROWS) return;
    if (sides_[0].paper.LostRows() == 0 && sides_[1].paper.LostRows() == 0) return;
    paperFull_ = true;
    result_.errors.push_back(StreamError{.offset = offset,
                                         .command = std::string(command),
                                         .kind = StreamErrorKind::PaperLimit,
                                         .detail = "the job's paper passed " + std::to_string(jobRowLimit_) +
                                                   " rows; the rest of the stream is decoded but prints nothing"});
}

void VirtualPrinter::LevelSides() {
    const int rows = std::max(sides_[0].paper.Rows(), sides_[1].paper.Rows());
    for (Side& side : sides_) side.paper.PadTo(rows);
}

void VirtualPrinter::EndPiece(bool cut, uint64_t offset) {
    if (pieceDual_) LevelSides();
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

void VirtualPrinter::PrintSideArea(Side& side, uint64_t offset) {
    if (!side.area.IsOpen()) return;
    if (!side.area.AreaSet() && !side.warnedNoArea)
        Warn(offset, "form feed prints a page-mode area no print area was set for");
    if (side.area.DroppedRows() != 0)
        Warn(side.firstDropped, std::to_string(side.area.DroppedRows()) + " raster rows fell below the print area (" +
                                    std::to_string(side.area.Area().height) + " rows high) and were not printed");
    side.paper.AppendRows(side.area.Print());
    ++result_.summary.pages;
}

void VirtualPrinter::DiscardArea(Side& side, uint64_t offset, const char* why) {
    if (!side.area.IsOpen()) return;
    if (side.area.PlacedRows() != 0)
        Warn(offset, std::string(why) + " a page-mode area of " + std::to_string(side.area.PlacedRows()) +
                         " raster rows that was never printed");
    side.area.Close();
}

void VirtualPrinter::ResetModes(uint64_t offset) {
    for (Side& side : sides_) DiscardArea(side, offset, "initialise discards");
    lineSpacing_ = DEFAULT_LINE_SPACING;
    dualMode_ = false;
    selected_ = 0;
}

void VirtualPrinter::CheckPrintArea(const Command& command, Side& side) {
    const PrintArea& area = command.area;
    const uint64_t at = command.offset;
    if (area.x != 0 || area.y != 0 || area.width != DRIVER_AREA_WIDTH)
        WarnOnce(Once::AreaPlace, at,
                 "print area at (" + std::to_string(area.x) + ", " + std::to_string(area.y) + "), " +
                     std::to_string(area.width) + " dots wide: (0, 0) and " + std::to_string(DRIVER_AREA_WIDTH) +
                     " dots expected");
    if (area.y + area.height > MAX_AREA_ROWS) {
        std::string warning = "print area of " + std::to_string(area.height) + " rows from row " +
                              std::to_string(area.y) + " cut to the printer's " + std::to_string(MAX_AREA_ROWS) +
                              " rows";
        if (tall_.stage != TallArea::Stage::None) ReportTallArea(); // the other side's, still waiting for its rest
        if (area.y == 0)
            tall_ = TallArea{TallArea::Stage::Open, selected_, at, area.height - MAX_AREA_ROWS, std::move(warning)};
        else
            Warn(at, std::move(warning));
    }
    // The printer's memory cannot hold rows outside the area: those composed below its new bottom go.
    const int removed = side.area.SetArea(area);
    if (removed != 0) {
        const int bottom = side.area.Area().y + side.area.Area().height;
        Warn(at, "print area ends at row " + std::to_string(bottom) + ", above " + std::to_string(removed) +
                     " rows already composed: they are removed");
    }
}

void VirtualPrinter::ReportTallArea() {
    Warn(tall_.offset, std::move(tall_.warning));
    tall_ = TallArea{};
}

void VirtualPrinter::FollowTallArea(const Command& command) {
    using Stage = TallArea::Stage;
    const bool sameSide = selected_ == tall_.side;
    switch (tall_.stage) {
    case Stage::None: break;
    case Stage::Open:
        if (sameSide && command.kind == CommandKind::FormFeed)
            tall_.stage = Stage::Printed;
        else if (sameSide && command.kind == CommandKind::PrintArea)
            ReportTallArea(); // the area is declared anew
        break;
    case Stage::Printed:
        if (sameSide && command.kind == CommandKind::PageMode)
            tall_.stage = Stage::NextPage;
        else
            ReportTallArea();
        break;
    case Stage::NextPage:
        if (sameSide && command.kind == CommandKind::PrintArea && command.area.y == 0 &&
            command.area.height == tall_.nextHeight)
            tall_ = TallArea{};
        else
            ReportTallArea();
        break;
    }
}

void VirtualPrinter::OnCommand(const Command& command) {
    result_.commands.push_back(command);
    FollowTallArea(command);
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
        for (Side& each : sides_) PrintSideArea(each, at);
        LevelSides();
        ++summary.sheets;
        break;
    case CommandKind::PageMode:
        if (side.area.IsOpen()) {
            Warn(at, "page mode ignored: a page-mode area of " + std::to_string(side.area.PlacedRows()) +
                         " raster rows is open");
            break;
        }
        side.area.Open(PaperDots(pieceWidth_));
        side.warnedNoArea = false;
        break;
    case CommandKind::PrintArea:
        if (!side.area.IsOpen()) {
            Warn(at, "print area ignored outside page mode");
            break;
        }
        CheckPrintArea(command, side);
        break;
    case CommandKind::StandardMode: DiscardArea(side, at, "standard mode discards"); break;
    case CommandKind::FormFeed: PrintSideArea(side, at); break;
    case CommandKind::LineSpacing: lineSpacing_ = command.value; break;
    case CommandKind::LineFeed:
        ++summary.feeds;
        summary.fedDots += lineSpacing_;
        if (side.area.IsOpen())
            side.area.Advance(lineSpacing_);
        else
            side.paper.AppendBlank(lineSpacing_);
        break;
    case CommandKind::Cut:
        if (command.value != 0x30)
            WarnOnce(Once::CutMode, at, "cut mode " + HexBytes(std::span(&command.value, 1)) + ": 30 expected");
        if (!state_.knife) {
            Warn(at, "cut ignored: the printer's knife is disabled");
            break;
        }
        ++summary.cuts;
        EndPiece(true, at);
        break;
    case CommandKind::RasterBlock:
        ++summary.rasterBlocks;
        if (command.value == RASTER_MONO_ALT)
            WarnOnce(Once::RasterType, at, "raster type 01: 00 (mono) or 02 (two-colour) expected");
        break;
    case CommandKind::PrintConfiguration:
        // The printer prints its settings and feeds them out to the knife, as a piece of their own.
        ++summary.configurationCommands;
        PrintConfigurationPage(state_, side.paper);
        side.paper.AppendBlank(CONFIGURATION_PAGE_FEED);
        if (state_.knife) EndPiece(true, at);
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
    // An area declared too tall that something other than a form feed closed.
    if (tall_.stage == TallArea::Stage::Open && !sides_[tall_.side].area.IsOpen()) ReportTallArea();
    CheckPaperLimit(at, CommandName(command.kind));
}

void VirtualPrinter::OnRasterRow(const RasterRow& row) {
    ++result_.summary.rows;
    row_.resize(static_cast<size_t>(PaperDots(pieceWidth_)));
    const LineDots dots = DecodeLine(row.type, row.line, pieceWidth_, state_.twoColourPaper, row_);
    if (dots.beside != 0) {
        result_.summary.dotsBesideThePaper += static_cast<uint64_t>(dots.beside);
        WarnOnce(Once::BesideThePaper, row.offset,
                 "raster row with printed dots beside the " +
                     std::string(pieceWidth_ == PaperWidth::Mm58 ? "58" : "80") + " mm paper");
    }
    if (dots.secondPlaneOnly != 0)
        WarnOnce(Once::SecondPlaneOnly, row.offset,
                 "raster row with " + std::to_string(dots.secondPlaneOnly) +
                     " dots in the second plane alone: black sets both planes, colour the first alone");
    Side& side = sides_[selected_];
    if (side.area.IsOpen()) {
        if (!side.area.AreaSet() && !side.warnedNoArea)
            Warn(row.offset, "raster row in page mode before any print area");
        side.warnedNoArea = side.warnedNoArea || !side.area.AreaSet();
        const int dropped = side.area.DroppedRows();
        const int cutOff = side.area.PutRow(row_);
        if (dropped == 0 && side.area.DroppedRows() != 0) side.firstDropped = row.offset;
        if (cutOff != 0) {
            result_.summary.dotsBesideThePaper += static_cast<uint64_t>(cutOff);
            WarnOnce(Once::BesideTheArea, row.offset,
                     "raster row with printed dots beside the print area (" + std::to_string(side.area.Area().width) +
                         " dots wide from dot " + std::to_string(side.area.Area().x) + ")");
        }
    } else
        side.paper.AppendRow(row_);
    CheckPaperLimit(row.offset, CommandName(CommandKind::RasterBlock));
}

void VirtualPrinter::OnError(const StreamError& error) { result_.errors.push_back(error); }

void VirtualPrinter::OnIgnoredZero(uint64_t offset) {
    WarnOnce(Once::ZeroBytes, offset,
             "zero byte between commands, passed over (expected only as the fill of a "
             "cancelled job)");
}

} // namespace vprinter
