#pragma once

#include <algorithm>

namespace orv::sheet {

// Sheet limits of the 97-2003 workbook format.
inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;

// A cell position, 0-based (row 0 is the sheet's row 1, column 0 is column A).
struct CellAddress {
    int row = 0;
    int column = 0;

    friend bool operator==(const CellAddress &, const CellAddress &) = default;
    friend auto operator<=>(const CellAddress &, const CellAddress &) = default;
};

// A rectangular block of cells, 0-based and inclusive at both ends.
struct CellRange {
    int firstRow = 0;
    int firstColumn = 0;
    int lastRow = 0;
    int lastColumn = 0;

    static CellRange single(CellAddress at) { return {at.row, at.column, at.row, at.column}; }
    CellAddress topLeft() const { return {firstRow, firstColumn}; }
    int rowCount() const { return lastRow - firstRow + 1; }
    int columnCount() const { return lastColumn - firstColumn + 1; }
    bool contains(CellAddress at) const
    {
        return at.row >= firstRow && at.row <= lastRow && at.column >= firstColumn && at.column <= lastColumn;
    }
    bool intersects(const CellRange &other) const
    {
        return std::max(firstRow, other.firstRow) <= std::min(lastRow, other.lastRow)
               && std::max(firstColumn, other.firstColumn) <= std::min(lastColumn, other.lastColumn);
    }

    friend bool operator==(const CellRange &, const CellRange &) = default;
};

} // namespace orv::sheet
