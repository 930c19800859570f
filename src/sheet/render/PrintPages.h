#pragma once

#include "sheet/model/CellAddress.h"

#include <QSizeF>
#include <optional>
#include <vector>

namespace orv::sheet {

class Workbook;

// A run of whole rows or whole columns, inclusive at both ends.
struct Strip {
    int first = 0;
    int last = 0;

    friend bool operator==(const Strip &, const Strip &) = default;
};

// Breaks the items first, first + 1, ... of the given sizes into strips, each
// as long as `room(strip's first item)` allows. An item longer than its room
// gets a strip of its own, as a spreadsheet application prints it: cut at the
// page's edge rather than left out.
template <typename Room>
std::vector<Strip> breakIntoStrips(const std::vector<double> &sizes, int first, Room room)
{
    std::vector<Strip> strips;
    const int end = first + static_cast<int>(sizes.size());
    for (int start = first; start < end;) {
        const double available = room(start);
        double used = sizes[start - first];
        int last = start;
        while (last + 1 < end && used + sizes[last + 1 - first] <= available)
            used += sizes[++last - first];
        strips.push_back({start, last});
        start = last + 1;
    }
    return strips;
}

// What one printed page shows: a block of the print area and the print
// titles repeated beside and above it.
struct PrintedPage {
    CellRange body;
    std::optional<Strip> titleRows;    // printed above the body
    std::optional<Strip> titleColumns; // printed left of the body

    friend bool operator==(const PrintedPage &, const PrintedPage &) = default;
};

// The pages of a sheet as a spreadsheet application prints it: each range of
// the print area (the used range without one) in turn, broken between whole
// rows and whole columns into pages of `printable` size (the paper inside its
// margins, in points) at the page setup's scale, the pages of one column
// strip first (down, then over). Row heights and column widths are the
// sheet's own, as the picture has them. Print titles that lie before a page's
// block are repeated on it and take their room from every such page. A sheet
// with nothing to print has no pages.
std::vector<PrintedPage> printedPages(const Workbook &workbook, int sheetIndex, QSizeF printable);

// The page setup's scale as a factor, within the 10 % to 400 % that
// spreadsheet applications allow.
double printScale(int percent);

} // namespace orv::sheet
