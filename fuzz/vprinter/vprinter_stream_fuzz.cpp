// Arbitrary byte streams through the virtual printer's stream parser and printer model, handed over in
// arbitrary pieces as a port hands them over write by write.
//
// Input: one byte of printer state (bit 0 58 mm paper, bit 1 mono paper, bit 2 no knife, bit 3 a
// single-side model, bit 4 the one-line receive buffer; 00 is the power-on state), one byte that seeds
// the piece sizes, then the stream.
//
// Checked: the decoded commands, rows and errors do not depend on the pieces; a printer reused after a
// job prints the next one as a fresh printer with the same state would; the paper stays within the
// printer's limits (a piece's and a job's) and grows no faster than the stream can feed it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "stream_parser.h"
#include "virtual_printer.h"

using namespace vprinter;

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// No byte feeds more than one line spacing (255 rows); an area of at most MAX_AREA_ROWS rows takes
// more than eight bytes to open and print.
constexpr uint64_t MAX_ROWS_PER_BYTE = 255;

// Each job's paper ends here, so that a stream of feeds costs little paper to hash and the target
// runs thousands of inputs a second; the limit's own handling is what gets exercised beyond it.
constexpr uint64_t FUZZ_JOB_ROWS = 1000;

PrinterState StateOf(uint8_t bits) {
    PrinterState state;
    state.paperWidth = (bits & 0x01) ? PaperWidth::Mm58 : PaperWidth::Mm80;
    state.twoColourPaper = (bits & 0x02) == 0;
    state.knife = (bits & 0x04) == 0;
    state.dualSideModel = (bits & 0x08) == 0;
    state.oneLineBuffer = (bits & 0x10) != 0;
    return state;
}

bool SameState(const PrinterState& a, const PrinterState& b) {
    return a.paperWidth == b.paperWidth && a.twoColourPaper == b.twoColourPaper && a.knife == b.knife &&
           a.dualSideModel == b.dualSideModel && a.oneLineBuffer == b.oneLineBuffer && a.configByte0 == b.configByte0;
}

// Piece sizes from a small generator: mostly short pieces, now and then an empty or a long one.
class Pieces {
public:
    explicit Pieces(uint8_t seed) : state_(0x9E3779B9u ^ seed) {}

    size_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        switch (state_ % 8) {
        case 0: return 0;
        case 1: return 1;
        case 2: return 161 + state_ % 400;
        default: return 1 + (state_ >> 8) % 16;
        }
    }

private:
    uint32_t state_;
};

template <typename Target>
void FeedInPieces(Target& target, std::span<const uint8_t> stream, uint8_t seed) {
    Pieces pieces(seed);
    size_t at = 0;
    while (at < stream.size()) {
        const size_t size = std::min(pieces.Next(), stream.size() - at);
        target.Feed(stream.subspan(at, size));
        at += size;
    }
}

// Everything the parser hands over, as text: equal texts mean equal events.
class EventLog : public StreamSink {
public:
    std::string text;
    uint64_t rows = 0;

    void OnCommand(const Command& c) override { text += "C " + CommandText(c) + "\n"; }
    void OnRasterRow(const RasterRow& row) override {
        ++rows;
        Require(row.line.size() == (row.type == RASTER_TWO_COLOUR ? LINE_BYTES_TWO_COLOUR : LINE_BYTES_MONO));
        text += "R " + std::to_string(row.offset) + " " + std::to_string(row.type) + " " + HexBytes(row.line) + "\n";
    }
    void OnError(const StreamError& e) override { text += "E " + Describe(e) + "\n"; }

    static std::string CommandText(const Command& c) {
        const uint8_t fields[] = {c.value,
                                  static_cast<uint8_t>(c.rows),
                                  static_cast<uint8_t>(c.rows >> 8),
                                  static_cast<uint8_t>(c.area.x),
                                  static_cast<uint8_t>(c.area.x >> 8),
                                  static_cast<uint8_t>(c.area.y),
                                  static_cast<uint8_t>(c.area.y >> 8),
                                  static_cast<uint8_t>(c.area.width),
                                  static_cast<uint8_t>(c.area.width >> 8),
                                  static_cast<uint8_t>(c.area.height),
                                  static_cast<uint8_t>(c.area.height >> 8),
                                  c.data[0],
                                  c.data[1]};
        return std::to_string(c.offset) + " " + std::string(CommandName(c.kind)) + " " + HexBytes(fields);
    }
};

std::string Parse(std::span<const uint8_t> stream, const uint8_t* seed) {
    EventLog log;
    StreamParser parser(log);
    if (seed == nullptr) {
        parser.Feed(stream);
    } else {
        FeedInPieces(parser, stream, *seed);
    }
    parser.Finish();
    Require(parser.Offset() == stream.size());
    Require(log.rows <= stream.size() / LINE_BYTES_MONO);
    return log.text;
}

// A hash of everything a job produced, the paper's dots included. Eight bytes a step: a piece may hold
// megabytes of dots.
class Digest {
public:
    void Add(std::span<const uint8_t> bytes) {
        size_t at = 0;
        for (; at + 8 <= bytes.size(); at += 8) {
            uint64_t word;
            std::memcpy(&word, bytes.data() + at, sizeof word);
            Mix(word);
        }
        // The last bytes, with their count in the top byte so that lengths differ.
        uint64_t tail = 0;
        if (at < bytes.size()) {
            std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
        }
        Mix(tail ^ (uint64_t{bytes.size() - at} << 56));
    }
    void Add(const std::string& text) { Add(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())); }
    void Add(uint64_t value) { Add(std::to_string(value) + ";"); }
    void Add(const SideImage& side) {
        Add(static_cast<uint64_t>(side.Width()));
        Add(static_cast<uint64_t>(side.Rows()));
        Add(side.LostRows());
        for (int row = 0; row < side.Rows(); ++row) {
            const std::span<const Dot> dots = side.Row(row);
            Add(std::span(reinterpret_cast<const uint8_t*>(dots.data()), dots.size()));
        }
    }
    uint64_t Value() const { return hash_; }

private:
    void Mix(uint64_t word) {
        hash_ = (hash_ ^ word) * 0x9E3779B97F4A7C15ull;
        hash_ ^= hash_ >> 29;
    }

    uint64_t hash_ = 0xCBF29CE484222325ull;
};

// Checks the paper against the printer's limits and reduces the job to its digest, so that no two
// jobs' paper is held at once.
uint64_t CheckAndDigest(const JobResult& job, size_t streamSize) {
    const Summary& s = job.summary;
    Require(s.bytes == streamSize);
    Require(s.pieces == job.pieces.size());
    Require(s.errors == job.errors.size() && s.warnings == job.warnings.size());

    Digest digest;
    uint64_t rows = 0;
    uint64_t kept = 0;
    for (const Piece& piece : job.pieces) {
        Require(piece.Rows() > 0 && piece.Rows() <= SideImage::MAX_ROWS);
        Require(piece.front.Width() == 576 || piece.front.Width() == 432);
        Require(piece.back.Width() == piece.front.Width());
        if (piece.dualSide) {
            Require(piece.front.Rows() == piece.back.Rows());
        }
        kept += static_cast<uint64_t>(piece.Rows());
        rows += static_cast<uint64_t>(piece.Rows()) + std::max(piece.front.LostRows(), piece.back.LostRows());
        digest.Add(static_cast<uint64_t>(piece.dualSide) * 2 + piece.cut);
        digest.Add(piece.front);
        digest.Add(piece.back);
    }
    Require(rows <= MAX_ROWS_PER_BYTE * streamSize);
    Require(kept <= FUZZ_JOB_ROWS);

    for (const Command& c : job.commands) {
        digest.Add(EventLog::CommandText(c));
    }
    for (const StreamError& e : job.errors) {
        digest.Add(Describe(e));
    }
    for (const Notice& n : job.warnings) {
        digest.Add(Describe(n));
    }
    for (uint64_t value : {s.bytes, uint64_t{s.pieces}, uint64_t{s.pages}, uint64_t{s.sheets}, uint64_t{s.cuts},
                           uint64_t{s.feeds}, s.fedDots, uint64_t{s.rasterBlocks}, s.rows, uint64_t{s.initialises},
                           uint64_t{s.configurationCommands}, s.ignoredZeroBytes, s.dotsBesideThePaper}) {
        digest.Add(value);
    }
    return digest.Value();
}

std::vector<uint8_t> Replies(VirtualPrinter& printer) {
    std::vector<uint8_t> replies(printer.PendingReplyBytes());
    Require(printer.ReadReply(replies) == replies.size());
    return replies;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const PrinterState initial = StateOf(data[0]);
    const uint8_t seed = data[1];
    const std::span<const uint8_t> stream(data + 2, size - 2);

    // The parser alone: the same events whole and in pieces.
    const std::string whole = Parse(stream, nullptr);
    Require(Parse(stream, &seed) == whole);

    // The printer: job one in pieces on a printer that then prints the stream again as job two; a fresh
    // printer prints each job whole.
    VirtualPrinter reused(initial);
    reused.LimitJobRows(FUZZ_JOB_ROWS);
    FeedInPieces(reused, stream, seed);
    const uint64_t first = CheckAndDigest(reused.Finish(), stream.size());
    const PrinterState afterFirst = reused.State();
    const std::vector<uint8_t> firstReplies = Replies(reused);

    {
        VirtualPrinter fresh(initial);
        fresh.LimitJobRows(FUZZ_JOB_ROWS);
        fresh.Feed(stream);
        JobResult job = fresh.Finish();
        std::string commands;
        for (const Command& c : job.commands) {
            commands += "C " + EventLog::CommandText(c) + "\n";
        }
        // Every command the parser decoded reached the model, in order.
        std::string parsed;
        for (size_t from = 0; from < whole.size();) {
            const size_t end = whole.find('\n', from) + 1;
            if (whole.compare(from, 2, "C ") == 0) {
                parsed.append(whole, from, end - from);
            }
            from = end;
        }
        Require(commands == parsed);
        Require(CheckAndDigest(job, stream.size()) == first);
        Require(SameState(fresh.State(), afterFirst));
        Require(Replies(fresh) == firstReplies);
    }

    reused.Feed(stream);
    const uint64_t second = CheckAndDigest(reused.Finish(), stream.size());
    if (SameState(afterFirst, initial)) {
        // The same state as at power-on: the second job must come out as the first did.
        Require(second == first);
        Require(SameState(reused.State(), afterFirst));
        Require(Replies(reused) == firstReplies);
        return 0;
    }
    VirtualPrinter fresh(afterFirst);
    fresh.LimitJobRows(FUZZ_JOB_ROWS);
    FeedInPieces(fresh, stream, seed);
    Require(CheckAndDigest(fresh.Finish(), stream.size()) == second);
    Require(SameState(fresh.State(), reused.State()));
    Require(Replies(fresh) == Replies(reused));
    return 0;
}
