// The paper that comes out of the printer: rows of dots, one piece per cut, each with a front side and,
// on a dual-side printer, a back side.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace vprinter {

enum class Dot : uint8_t { White = 0, Black = 1, Colour = 2 };

// One side of a piece: rows of dots, top (printed first) to bottom. A piece keeps at most MAX_ROWS rows
// (12.5 m of paper): a stream of nothing but feeds would otherwise grow it without bound; the rows
// beyond are counted, not kept. A side may be given a lower limit (the job's paper is nearly used up).
class SideImage {
public:
    static constexpr int MAX_ROWS = 100000;

    explicit SideImage(int width = 0, int maxRows = MAX_ROWS)
        : width_(width), maxRows_(std::clamp(maxRows, 0, MAX_ROWS)) {}

    int Width() const { return width_; }
    int MaxRows() const { return maxRows_; }
    // Keeps no rows beyond those it has and at most `rows`: later rows are counted as lost.
    void LimitRows(int rows) { maxRows_ = std::clamp(rows, Rows(), maxRows_); }
    int Rows() const { return width_ == 0 ? 0 : static_cast<int>(dots_.size() / width_); }
    Dot At(int x, int row) const { return dots_[static_cast<size_t>(row) * width_ + x]; }
    std::span<const Dot> Row(int row) const {
        return {dots_.data() + static_cast<size_t>(row) * width_, static_cast<size_t>(width_)};
    }
    std::span<Dot> Row(int row) {
        return {dots_.data() + static_cast<size_t>(row) * width_, static_cast<size_t>(width_)};
    }

    void AppendBlank(int rows) {
        const int kept = std::clamp(maxRows_ - Rows(), 0, std::max(rows, 0));
        lostRows_ += static_cast<uint64_t>(std::max(rows, 0) - kept);
        dots_.resize(dots_.size() + static_cast<size_t>(kept) * width_, Dot::White);
    }
    // A row of another width is cut or padded with white to this side's width.
    void AppendRow(std::span<const Dot> row) {
        if (Rows() >= maxRows_) {
            ++lostRows_;
            return;
        }
        AppendBlank(1);
        std::copy_n(row.begin(), std::min(row.size(), static_cast<size_t>(width_)), Row(Rows() - 1).begin());
    }
    void AppendRows(const SideImage& other) {
        for (int r = 0; r < other.Rows(); ++r) AppendRow(other.Row(r));
    }
    void PadTo(int rows) { AppendBlank(rows - Rows()); }
    // Rows at the bottom beyond `rows` are removed (not counted as lost).
    void Truncate(int rows) {
        if (rows >= 0 && rows < Rows()) dots_.resize(static_cast<size_t>(rows) * width_);
    }
    // Rows that came out beyond the limit and were not kept.
    uint64_t LostRows() const { return lostRows_; }

private:
    int width_;
    int maxRows_;
    std::vector<Dot> dots_;
    uint64_t lostRows_ = 0;
};

struct Piece {
    SideImage front;
    SideImage back;
    bool dualSide = false; // the piece was printed in dual-side mode: both sides are shown
    bool cut = false;      // false for the paper left uncut at the end of the stream

    int Width() const { return front.Width(); }
    int Rows() const { return std::max(front.Rows(), back.Rows()); }
};

} // namespace vprinter
