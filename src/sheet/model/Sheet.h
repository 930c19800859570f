#pragma once

#include "sheet/model/Cell.h"
#include "sheet/model/CellAddress.h"
#include "sheet/model/ConditionalFormat.h"
#include "sheet/model/SheetSettings.h"

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace orv::sheet {

// One worksheet: its cells, the sizes of its rows and columns, merged
// ranges, conditional formats, view and page settings.
class Sheet {
public:
    explicit Sheet(QString name);

    const QString &name() const { return mName; }
    void setName(QString name) { mName = std::move(name); }
    SheetVisibility visibility() const { return mVisibility; }
    void setVisibility(SheetVisibility visibility) { mVisibility = visibility; }

    // Cells. Addresses outside the sheet's limits throw a Failure.
    const Cell *cell(CellAddress at) const;
    Cell &cellAt(CellAddress at); // created empty when missing
    void setCell(CellAddress at, Cell cell);
    void removeCell(CellAddress at);
    // The stored cells of a row by column, and a whole row's cells replaced
    // at once (used to copy rows).
    const std::map<int, Cell> &rowCells(int row) const;
    void setRowCells(int row, std::map<int, Cell> cells);
    // Visits every stored cell, row by row, left to right.
    void forEachCell(const std::function<void(CellAddress, const Cell &)> &visit) const;
    void forEachCell(const std::function<void(CellAddress, Cell &)> &visit);
    // Visits the stored cells inside a range, row by row, left to right.
    void forEachCellIn(const CellRange &range, const std::function<void(CellAddress, const Cell &)> &visit) const;
    // Visits every cell holding a formula, row by row.
    void forEachFormulaCell(const std::function<void(CellAddress, const Cell &)> &visit) const;
    void forEachFormulaCell(const std::function<void(CellAddress, Cell &)> &visit);
    // Visits the formula cells that rows inserted at `first` can concern:
    // every one in the rows from `first` on, and those above whose formula
    // refers to a row from `first` on, as `lastRow` (the last row a formula
    // refers to) tells. Each row above remembers how far its formulas
    // reach, so a visit costs the rows above, not every formula there.
    void forEachFormulaCellReaching(int first, const std::function<int(const Cell &)> &lastRow,
                                    const std::function<void(CellAddress, Cell &)> &visit);
    // The smallest range holding every stored cell, or nothing for an empty sheet.
    std::optional<CellRange> usedRange() const;

    // Row heights in points and column widths in characters.
    double defaultRowHeight() const { return mDefaultRowHeight; }
    void setDefaultRowHeight(double points) { mDefaultRowHeight = points; }
    // The default column width in whole characters, as the format stores it
    // (8 shows as 8.43 in a Calibri 11 workbook).
    int defaultColumnWidth() const { return mDefaultColumnWidth; }
    void setDefaultColumnWidth(int characters) { mDefaultColumnWidth = characters; }
    const RowInfo *rowInfo(int row) const;
    void setRowInfo(int row, RowInfo info);
    void removeRowInfo(int row);
    double rowHeight(int row) const;
    const ColumnInfo *columnInfo(int column) const;
    void setColumnInfo(int column, ColumnInfo info);
    // Visits the columns that have information, in runs of neighbours with
    // equal information, left to right.
    void forEachColumnRun(const std::function<void(int first, int last, const ColumnInfo &)> &visit) const;
    // The index of the last row holding a cell or row information, or -1.
    int lastRow() const;

    std::vector<CellRange> &mergedRanges() { return mMerged; }
    const std::vector<CellRange> &mergedRanges() const { return mMerged; }
    // The merged range that covers the cell, if any.
    std::optional<CellRange> mergedRangeAt(CellAddress at) const;

    std::vector<ConditionalFormat> &conditionalFormats() { return mConditionalFormats; }
    const std::vector<ConditionalFormat> &conditionalFormats() const { return mConditionalFormats; }

    SheetView &view() { return mView; }
    const SheetView &view() const { return mView; }
    PageSetup &pageSetup() { return mPageSetup; }
    const PageSetup &pageSetup() const { return mPageSetup; }
    PrintAreas &printAreas() { return mPrintAreas; }
    const PrintAreas &printAreas() const { return mPrintAreas; }

    // Moves rows [first, end) down by `count`, opening `count` empty rows at
    // `first`; used by row insertion, which also adjusts references.
    void shiftRowsDown(int first, int count);

private:
    static constexpr int kReachUnknown = -2;
    struct Row {
        std::optional<RowInfo> info;
        std::map<int, Cell> cells; // by column
        // The last row the row's formulas refer to (-1: none), or unknown
        // since a cell of the row was handed out for writing.
        int reach = kReachUnknown;
    };

    static void checkAddress(CellAddress at);

    QString mName;
    SheetVisibility mVisibility = SheetVisibility::Visible;
    std::vector<Row> mRows; // by row index; grows as rows are used
    // Every cell that may hold a formula: each cell handed out for writing.
    // Formula visits look at these cells only and drop the ones found
    // without a formula, so that they cost the formulas, not the sheet's size.
    std::set<CellAddress> mFormulaCandidates;
    std::map<int, ColumnInfo> mColumns;
    double mDefaultRowHeight = 15;
    int mDefaultColumnWidth = 8;
    std::vector<CellRange> mMerged;
    std::vector<ConditionalFormat> mConditionalFormats;
    SheetView mView;
    PageSetup mPageSetup;
    PrintAreas mPrintAreas;
};

} // namespace orv::sheet
