#include "sheet/render/PrintPages.h"

#include "sheet/model/Workbook.h"
#include "sheet/render/ScreenFonts.h"
#include "sheet/render/SheetGeometry.h"

#include <algorithm>

namespace orv::sheet {

namespace {

constexpr double kPointsPerInch = 72.0;

// The sizes in points of the rows (or columns) of a range, and the total
// size of the title rows (or columns) printed before them.
struct Extent {
    std::vector<double> sizes;
    std::optional<Strip> titles;
    double titleSize = 0;
};

double toPoints(qint64 pixels) { return double(pixels) * kPointsPerInch / kScreenDpi; }

// Along rows (`down`) or along columns: the sizes of the area's rows or
// columns, and the title rows or columns that can come before them.
Extent extentOf(const Workbook &workbook, const Sheet &sheet, const CellRange &area, std::optional<CellRange> titles,
                bool down)
{
    auto line = [&](int first, int last) {
        return down ? CellRange{first, area.firstColumn, last, area.firstColumn}
                    : CellRange{area.firstRow, first, area.firstRow, last};
    };
    auto size = [&](const SheetGeometry &geometry, int index) {
        return toPoints(down ? geometry.rowHeight(index) : geometry.columnWidth(index));
    };
    Extent extent;
    const int first = down ? area.firstRow : area.firstColumn, last = down ? area.lastRow : area.lastColumn;
    const SheetGeometry geometry(workbook, sheet, line(first, last));
    for (int index = first; index <= last; ++index)
        extent.sizes.push_back(size(geometry, index));
    if (titles) {
        const Strip strip = down ? Strip{titles->firstRow, titles->lastRow} : Strip{titles->firstColumn, titles->lastColumn};
        if (strip.last < last) {
            extent.titles = strip;
            const SheetGeometry title(workbook, sheet, line(strip.first, strip.last));
            extent.titleSize = toPoints(down ? title.height() : title.width());
        }
    }
    return extent;
}

// Titles are repeated on the pages whose block starts after them.
std::vector<Strip> strips(const Extent &extent, int first, double room)
{
    const double titled = std::max(room - extent.titleSize, 0.0);
    return breakIntoStrips(extent.sizes, first,
                           [&](int start) { return extent.titles && start > extent.titles->last ? titled : room; });
}

std::optional<Strip> titlesBefore(const Extent &extent, const Strip &strip)
{
    if (extent.titles && strip.first > extent.titles->last)
        return extent.titles;
    return std::nullopt;
}

} // namespace

double printScale(int percent) { return std::clamp(percent, 10, 400) / 100.0; }

std::vector<PrintedPage> printedPages(const Workbook &workbook, int sheetIndex, QSizeF printable)
{
    const Sheet &sheet = workbook.sheet(sheetIndex);
    const PrintAreas &print = sheet.printAreas();
    std::vector<CellRange> areas = print.printArea;
    if (areas.empty()) {
        if (const std::optional<CellRange> used = sheet.usedRange())
            areas.push_back(*used);
    }
    const double scale = printScale(sheet.pageSetup().scale);
    std::vector<PrintedPage> pages;
    for (const CellRange &area : areas) {
        const Extent rows = extentOf(workbook, sheet, area, print.titleRows, true);
        const Extent columns = extentOf(workbook, sheet, area, print.titleColumns, false);
        const std::vector<Strip> down = strips(rows, area.firstRow, printable.height() / scale);
        const std::vector<Strip> over = strips(columns, area.firstColumn, printable.width() / scale);
        for (const Strip &across : over)
            for (const Strip &along : down)
                pages.push_back({{along.first, across.first, along.last, across.last},
                                 titlesBefore(rows, along),
                                 titlesBefore(columns, across)});
    }
    return pages;
}

} // namespace orv::sheet
