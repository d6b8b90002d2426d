#include "page_area.h"

#include <algorithm>

namespace vprinter {

void PageArea::Open(int paperDots) {
    open_ = true;
    areaSet_ = false;
    area_ = PrintArea{0, 0, static_cast<uint16_t>(paperDots), 0};
    cursor_ = 0;
    placed_ = 0;
    dropped_ = 0;
    rows_ = SideImage(paperDots);
}

int PageArea::SetArea(const PrintArea& area) {
    area_ = area;
    // An origin below the printer's rows is cut to them as well: the area ends at MAX_AREA_ROWS however
    // far down it starts, and is printed that tall.
    area_.y = static_cast<uint16_t>(std::min<int>(area.y, MAX_AREA_ROWS));
    area_.height = static_cast<uint16_t>(std::min(area.y + area.height, MAX_AREA_ROWS) - area_.y);
    areaSet_ = true;
    const int composed = rows_.Rows();
    rows_.Truncate(Height());
    return composed - rows_.Rows();
}

// Every position from MAX_AREA_ROWS down lies below any area, so the cursor stops there.
void PageArea::Advance(int rows) { cursor_ = std::min(cursor_ + std::max(rows, 0), MAX_AREA_ROWS); }

int PageArea::Height() const { return areaSet_ ? area_.y + area_.height : cursor_; }

int PageArea::PutRow(std::span<const Dot> row) {
    const int y = (areaSet_ ? area_.y : 0) + cursor_;
    Advance(1);
    ++placed_;
    const bool below = areaSet_ ? y >= Height() : y >= MAX_AREA_ROWS;
    if (below) {
        ++dropped_;
        return 0;
    }
    rows_.PadTo(y + 1);
    std::span<Dot> target = rows_.Row(y);
    const int width = rows_.Width();
    const int right = std::min(area_.x + area_.width, width);
    int cutOff = 0;
    for (int x = 0; x < static_cast<int>(row.size()); ++x) {
        const int at = x + area_.x;
        if (at < right)
            target[at] = row[x];
        else if (row[x] != Dot::White)
            ++cutOff;
    }
    return cutOff;
}

SideImage PageArea::Print() {
    open_ = false;
    SideImage printed = std::move(rows_);
    printed.PadTo(areaSet_ ? Height() : std::min(cursor_, MAX_AREA_ROWS));
    rows_ = SideImage(printed.Width());
    return printed;
}

} // namespace vprinter
