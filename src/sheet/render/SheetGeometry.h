#pragma once

#include "sheet/model/CellAddress.h"

#include <QRect>
#include <vector>

namespace orv::sheet {

class Sheet;
class Workbook;

// Pixel sizes at 96 DPI, computed as spreadsheet applications do from the
// maximum digit width (MDW) of the workbook's body font.
namespace pixels {
// The padding a column adds to its characters: 5 px for MDW 4 to 8.
int columnPadding(int mdw);
// A column whose width the user set, in characters as shown (8.43).
int columnWidth(double characters, int mdw);
// The sheet's default width, whole characters without padding; the result is
// rounded up to a multiple of 8 px (8 characters at MDW 7 give 64 px).
int defaultColumnWidth(int characters, int mdw);
// A row height in points (15 pt = 20 px).
int rowHeight(double points);
} // namespace pixels

// Where every row and column of a cell range lies in its picture: the
// offsets of their edges in pixels from the range's top-left corner. Hidden
// rows and columns take no space. A range outside the sheet, or one whose
// ends are swapped, is a Failure.
class SheetGeometry {
public:
    SheetGeometry(const Workbook &workbook, const Sheet &sheet, CellRange range);

    const CellRange &range() const { return mRange; }
    qint64 width() const { return mColumnEdges.back(); }
    qint64 height() const { return mRowEdges.back(); }
    int maximumDigitWidth() const { return mMdw; }

    int columnLeft(int column) const { return int(mColumnEdges[column - mRange.firstColumn]); }
    int columnRight(int column) const { return int(mColumnEdges[column - mRange.firstColumn + 1]); }
    int columnWidth(int column) const { return columnRight(column) - columnLeft(column); }
    qint64 rowTop(int row) const { return mRowEdges[row - mRange.firstRow]; }
    qint64 rowBottom(int row) const { return mRowEdges[row - mRange.firstRow + 1]; }
    int rowHeight(int row) const { return int(rowBottom(row) - rowTop(row)); }
    // The first row whose bottom lies below `y`, or one past the last row.
    int rowAt(qint64 y) const;
    // The same for columns and `x`.
    int columnAt(qint64 x) const;

private:
    CellRange mRange;
    int mMdw = 7;
    std::vector<qint64> mColumnEdges; // columnCount + 1 edges
    std::vector<qint64> mRowEdges;    // rowCount + 1 edges
};

} // namespace orv::sheet
