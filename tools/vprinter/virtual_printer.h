// A model of the thermal roll printer: consumes the byte stream as the printer would and hands back the
// paper that came out, one piece per cut, with a summary, the stream's errors and warnings about
// well-formed but doubtful input (rows below a print area, an area that was never printed, ...).
// Warnings cover what the printer accepts but the driver never sends, so that a test reading only the
// paper still learns of it. Those about single bytes, rows and dots (zero bytes, dots beside the paper
// or the area, a dot in the second plane alone) and those the driver would repeat on every page or block
// (raster type 01, a cut mode other than 30, an area not at (0, 0) or not 576 dots wide) come once a
// job, at the first offset; the others at each command.
//
// The paper: in standard mode rows print as they arrive and line feeds feed the line spacing in blank
// rows; in page mode rows are composed in the side's area and printed, with the area's full height, at
// form feed, which returns to standard mode. In dual-side mode each side has its own position on the
// paper: select side chooses the side that rows, feeds and areas go to, and end sheet prints both sides'
// areas and brings the shorter side level with the longer, closing the sheet. A cut ends the piece;
// paper left at the end of the stream is the last piece, marked uncut.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "page_area.h"
#include "paper.h"
#include "printer_state.h"
#include "stream_parser.h"

namespace vprinter {

struct Notice {
    uint64_t offset = 0;
    std::string text;
};

// "offset 1234 (0x4D2): print area ignored outside page mode"
std::string Describe(const Notice& notice);

struct Summary {
    uint64_t bytes = 0;
    unsigned pieces = 0;
    unsigned pages = 0;   // page-mode areas printed
    unsigned sheets = 0;  // dual-side sheets closed by end sheet
    unsigned cuts = 0;    // cuts made (a cut the knife cannot make is not counted)
    unsigned feeds = 0;   // line feeds
    uint64_t fedDots = 0; // dot rows moved by those line feeds
    unsigned rasterBlocks = 0;
    uint64_t rows = 0; // raster rows received
    unsigned initialises = 0;
    unsigned configurationCommands = 0;
    uint64_t ignoredZeroBytes = 0;   // zero bytes between commands, passed over
    uint64_t dotsBesideThePaper = 0; // set dots of a line that land outside the paper or the area's width
    unsigned errors = 0;
    unsigned warnings = 0;
};

struct JobResult {
    std::vector<Piece> pieces;
    Summary summary;
    std::vector<Command> commands; // every command in stream order (raster rows not included)
    std::vector<StreamError> errors;
    std::vector<Notice> warnings;
};

class VirtualPrinter : private StreamSink {
public:
    explicit VirtualPrinter(const PrinterState& state = {});
    VirtualPrinter(const VirtualPrinter&) = delete;
    VirtualPrinter& operator=(const VirtualPrinter&) = delete;

    PrinterState& State() { return state_; }
    const PrinterState& State() const { return state_; }

    void Feed(std::span<const uint8_t> bytes);
    // The stream (one job) has ended: returns everything it produced. The printer is then back in its
    // power-on modes, ready for the next stream, with its state and unread replies kept.
    JobResult Finish();

    // Bytes the printer sends back (configuration replies), oldest first; returns the count copied.
    size_t ReadReply(std::span<uint8_t> out);
    size_t PendingReplyBytes() const { return replies_.size(); }

    // The stream's summary so far, and the dot rows of paper it has moved so far (raster rows and
    // line feeds), which set how long the paper takes to come out.
    const vprinter::Summary& Progress() const { return result_.summary; }
    uint64_t AdvancedRows() const { return result_.summary.rows + result_.summary.fedDots; }

    // A job's paper ends after this many rows (at most MAX_JOB_ROWS, the default), from the present
    // piece on when it is still empty: fuzzing keeps each job's paper small this way.
    void LimitJobRows(uint64_t rows);

private:
    struct Side {
        SideImage paper;
        PageArea area;
        bool warnedNoArea = false; // rows or a form feed met the open area before any print area
        uint64_t firstDropped = 0; // offset of the first row that fell below the area
    };

    // Warnings given once a job.
    enum class Once : uint8_t {
        ZeroBytes,
        BesideThePaper,
        BesideTheArea,
        SecondPlaneOnly,
        RasterType,
        CutMode,
        AreaPlace,
        Count,
    };

    // An area declared taller than MAX_AREA_ROWS: the printer composes MAX_AREA_ROWS rows of it and the
    // rest is never printed. The driver declares such areas for a tall page (H rows print as areas of
    // 2000, H - 2000, H - 4000, ... rows, the page's rows so far taking 2000 of each) and sends the rest
    // in the next area, so the cut is not reported when the area is printed by a form feed and the
    // next commands for the side are page mode and a print area at (0, 0) MAX_AREA_ROWS rows shorter.
    // Otherwise it is reported at the print area.
    struct TallArea {
        enum class Stage : uint8_t { None, Open, Printed, NextPage };
        Stage stage = Stage::None;
        int side = 0;
        uint64_t offset = 0;
        int nextHeight = 0;
        std::string warning;
    };

    void OnCommand(const Command& command) override;
    void OnRasterRow(const RasterRow& row) override;
    void OnError(const StreamError& error) override;
    void OnIgnoredZero(uint64_t offset) override;

    void Warn(uint64_t offset, std::string text);
    void WarnOnce(Once kind, uint64_t offset, std::string text);
    void CheckPrintArea(const Command& command, Side& side);
    void FollowTallArea(const Command& command);
    void ReportTallArea();
    void StartPiece();
    void EndPiece(bool cut, uint64_t offset);
    void LevelSides();
    void PrintSideArea(Side& side, uint64_t offset);
    void DiscardArea(Side& side, uint64_t offset, const char* why);
    void ResetModes(uint64_t offset);
    void CheckPaperLimit(uint64_t offset, std::string_view command);

    PrinterState state_;
    StreamParser parser_;
    JobResult result_;
    std::deque<uint8_t> replies_;

    std::array<Side, 2> sides_;
    int selected_ = 0;
    bool dualMode_ = false;
    bool pieceDual_ = false;
    PaperWidth pieceWidth_ = PaperWidth::Mm80;
    int lineSpacing_ = 0;
    std::array<bool, static_cast<size_t>(Once::Count)> warned_{};
    TallArea tall_;
    uint64_t keptRows_ = 0;  // rows of the pieces of this job already handed over
    bool paperFull_ = false; // the job's paper reached its limit: nothing more is printed
    uint64_t jobRowLimit_;   // MAX_JOB_ROWS unless limited
    std::vector<Dot> row_;
};

// The paper one job may make, both sides of a dual-side piece counted once: 400000 rows, 50 m. The
// longest page the driver's paper sizes allow is about 3.3 m, and a job the tests or a preview decode
// is a few pages long; 50 m is many such jobs over. Without the limit a hostile stream makes paper
// without bound (a feed of 255 rows in each byte, cut into pieces that each stay below MAX_ROWS); with
// it a job's dots stay below 460 MB. Rows beyond it are counted, not kept, and the job reports one
// error where they start.
constexpr uint64_t MAX_JOB_ROWS = 400000;

// The print area the driver declares on either paper width: from (0, 0), 576 dots wide.
constexpr uint16_t DRIVER_AREA_WIDTH = 576;

// Line spacing after power-on and initialise: 1/6 inch, 30 dots at 8 dots per millimetre.
constexpr int DEFAULT_LINE_SPACING = 30;

} // namespace vprinter
