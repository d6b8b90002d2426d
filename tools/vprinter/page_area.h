// The page-mode area of one side: composed row by row in the printer's memory and printed as a whole,
// with its full height, when a form feed (or an end sheet) arrives. The driver leaves the blank rows at
// the end of an area out of the stream and relies on the area height to feed them.
#pragma once

#include <cstdint>
#include <span>

#include "paper.h"
#include "stream_commands.h"

namespace vprinter {

// The printer composes at most this many dot rows in one area; a taller area is cut to it.
constexpr int MAX_AREA_ROWS = 2000;

class PageArea {
public:
    // Page mode starts: a fresh, empty composition as wide as the paper. Until a print area command
    // sets it, the area is as tall as the rows placed in it.
    void Open(int paperDots);
    void Close() { open_ = false; }
    bool IsOpen() const { return open_; }
    // The area is cut to end at MAX_AREA_ROWS at the latest: its height first, then its origin. Rows
    // already composed below the new area's bottom are removed; returns their count.
    int SetArea(const PrintArea& area);
    const PrintArea& Area() const { return area_; }
    // A print area command has set the area since page mode started.
    bool AreaSet() const { return areaSet_; }
    // A row lands at the current position (origin y plus the rows and feeds so far), shifted right by the
    // origin x and cut at the area's right edge; a row below the area is dropped. Returns the set dots
    // cut off at the right edge.
    int PutRow(std::span<const Dot> row);
    void Advance(int rows);

    // Rows placed so far (received rows, not counting feeds) and rows dropped below the area.
    int PlacedRows() const { return placed_; }
    int DroppedRows() const { return dropped_; }
    // The printed area: all its rows, the blank ones below the last received row included. Closes it.
    SideImage Print();

private:
    int Height() const;

    bool open_ = false;
    bool areaSet_ = false;
    PrintArea area_{};
    int cursor_ = 0;
    int placed_ = 0;
    int dropped_ = 0;
    SideImage rows_;
};

} // namespace vprinter
