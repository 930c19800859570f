#include "sheet/model/Sheet.h"

#include "files/Failure.h"

#include <algorithm>

namespace orv::sheet {

namespace {

// The first formula cell from `it` on among the candidates; the ones passed
// on the way that hold no formula are forgotten. Nothing at the end.
template<class Rows>
auto nextFormulaCell(Rows &rows, std::set<CellAddress> &candidates, std::set<CellAddress>::iterator &it)
    -> decltype(&rows[0].cells.begin()->second)
{
    while (it != candidates.end()) {
        if (it->row < static_cast<int>(rows.size())) {
            auto &cells = rows[it->row].cells;
            const auto found = cells.find(it->column);
            if (found != cells.end() && found->second.hasFormula())
                return &found->second;
        }
        it = candidates.erase(it);
    }
    return nullptr;
}

} // namespace

Sheet::Sheet(QString name) : mName(std::move(name)) {}

void Sheet::checkAddress(CellAddress at)
{
    if (at.row < 0 || at.row >= kMaxRows)
        throw Failure(QStringLiteral("Row %1 lies outside the sheet (rows 1 to %2)").arg(at.row + 1).arg(kMaxRows));
    if (at.column < 0 || at.column >= kMaxColumns)
        throw Failure(QStringLiteral("Column %1 lies outside the sheet (columns 1 to %2)")
                          .arg(at.column + 1)
                          .arg(kMaxColumns));
}

const Cell *Sheet::cell(CellAddress at) const
{
    if (at.row < 0 || at.row >= static_cast<int>(mRows.size()))
        return nullptr;
    const auto &cells = mRows[at.row].cells;
    const auto found = cells.find(at.column);
    return found == cells.end() ? nullptr : &found->second;
}

Cell &Sheet::cellAt(CellAddress at)
{
    checkAddress(at);
    if (at.row >= static_cast<int>(mRows.size()))
        mRows.resize(at.row + 1);
    mFormulaCandidates.insert(at);
    mRows[at.row].reach = kReachUnknown;
    return mRows[at.row].cells[at.column];
}

void Sheet::setCell(CellAddress at, Cell cell) { cellAt(at) = std::move(cell); }

void Sheet::removeCell(CellAddress at)
{
    if (at.row >= 0 && at.row < static_cast<int>(mRows.size()))
        mRows[at.row].cells.erase(at.column);
}

const std::map<int, Cell> &Sheet::rowCells(int row) const
{
    static const std::map<int, Cell> none;
    return row >= 0 && row < static_cast<int>(mRows.size()) ? mRows[row].cells : none;
}

void Sheet::setRowCells(int row, std::map<int, Cell> cells)
{
    checkAddress({row, 0});
    if (!cells.empty())
        checkAddress({row, cells.rbegin()->first});
    if (!cells.empty() && cells.begin()->first < 0)
        checkAddress({row, cells.begin()->first});
    if (row >= static_cast<int>(mRows.size()))
        mRows.resize(row + 1);
    for (const auto &[column, cell] : cells)
        if (cell.hasFormula())
            mFormulaCandidates.insert({row, column});
    mRows[row].cells = std::move(cells);
    mRows[row].reach = kReachUnknown;
}

void Sheet::forEachCell(const std::function<void(CellAddress, const Cell &)> &visit) const
{
    for (int row = 0; row < static_cast<int>(mRows.size()); ++row)
        for (const auto &[column, cell] : mRows[row].cells)
            visit({row, column}, cell);
}

void Sheet::forEachCell(const std::function<void(CellAddress, Cell &)> &visit)
{
    for (int row = 0; row < static_cast<int>(mRows.size()); ++row) {
        mRows[row].reach = kReachUnknown;
        for (auto &[column, cell] : mRows[row].cells) {
            mFormulaCandidates.insert({row, column});
            visit({row, column}, cell);
        }
    }
}

void Sheet::forEachCellIn(const CellRange &range, const std::function<void(CellAddress, const Cell &)> &visit) const
{
    const int last = std::min(range.lastRow, static_cast<int>(mRows.size()) - 1);
    for (int row = std::max(range.firstRow, 0); row <= last; ++row) {
        const auto &cells = mRows[row].cells;
        for (auto it = cells.lower_bound(range.firstColumn); it != cells.end() && it->first <= range.lastColumn; ++it)
            visit({row, it->first}, it->second);
    }
}

// Reads only, leaving the candidates that hold no formula to the next
// visit for writing: a picture may be made of this sheet on another thread
// while the window paints it.
void Sheet::forEachFormulaCell(const std::function<void(CellAddress, const Cell &)> &visit) const
{
    for (const CellAddress at : mFormulaCandidates) {
        if (at.row >= static_cast<int>(mRows.size()))
            continue;
        const auto &cells = mRows[at.row].cells;
        const auto found = cells.find(at.column);
        if (found != cells.end() && found->second.hasFormula())
            visit(at, found->second);
    }
}

void Sheet::forEachFormulaCell(const std::function<void(CellAddress, Cell &)> &visit)
{
    for (auto it = mFormulaCandidates.begin(); Cell *found = nextFormulaCell(mRows, mFormulaCandidates, it); ++it) {
        mRows[it->row].reach = kReachUnknown;
        visit(*it, *found);
    }
}

void Sheet::forEachFormulaCellReaching(int first, const std::function<int(const Cell &)> &lastRow,
                                       const std::function<void(CellAddress, Cell &)> &visit)
{
    const int above = std::min(first, static_cast<int>(mRows.size()));
    for (int row = 0; row < above; ++row) {
        Row &cells = mRows[row];
        if (cells.reach == kReachUnknown) {
            cells.reach = -1;
            for (const auto &[column, cell] : cells.cells)
                if (cell.hasFormula())
                    cells.reach = std::max(cells.reach, lastRow(cell));
        }
        if (cells.reach < first)
            continue;
        cells.reach = kReachUnknown;
        for (auto &[column, cell] : cells.cells)
            if (cell.hasFormula())
                visit({row, column}, cell);
    }
    for (auto it = mFormulaCandidates.lower_bound({first, 0});
         Cell *found = nextFormulaCell(mRows, mFormulaCandidates, it); ++it) {
        mRows[it->row].reach = kReachUnknown;
        visit(*it, *found);
    }
}

std::optional<CellRange> Sheet::usedRange() const
{
    std::optional<CellRange> used;
    for (int row = 0; row < static_cast<int>(mRows.size()); ++row) {
        const auto &cells = mRows[row].cells;
        if (cells.empty())
            continue;
        const int first = cells.begin()->first;
        const int last = cells.rbegin()->first;
        if (!used) {
            used = CellRange{row, first, row, last};
        } else {
            used->lastRow = row;
            used->firstColumn = std::min(used->firstColumn, first);
            used->lastColumn = std::max(used->lastColumn, last);
        }
    }
    return used;
}

const RowInfo *Sheet::rowInfo(int row) const
{
    if (row < 0 || row >= static_cast<int>(mRows.size()) || !mRows[row].info)
        return nullptr;
    return &*mRows[row].info;
}

void Sheet::setRowInfo(int row, RowInfo info)
{
    checkAddress({row, 0});
    if (row >= static_cast<int>(mRows.size()))
        mRows.resize(row + 1);
    mRows[row].info = info;
}

void Sheet::removeRowInfo(int row)
{
    if (row >= 0 && row < static_cast<int>(mRows.size()))
        mRows[row].info.reset();
}

double Sheet::rowHeight(int row) const
{
    const RowInfo *info = rowInfo(row);
    return info ? info->height : mDefaultRowHeight;
}

const ColumnInfo *Sheet::columnInfo(int column) const
{
    const auto found = mColumns.find(column);
    return found == mColumns.end() ? nullptr : &found->second;
}

void Sheet::setColumnInfo(int column, ColumnInfo info)
{
    checkAddress({0, column});
    mColumns[column] = info;
}

int Sheet::lastRow() const
{
    for (int row = static_cast<int>(mRows.size()) - 1; row >= 0; --row)
        if (mRows[row].info || !mRows[row].cells.empty())
            return row;
    return -1;
}

std::optional<CellRange> Sheet::mergedRangeAt(CellAddress at) const
{
    for (const CellRange &range : mMerged)
        if (range.contains(at))
            return range;
    return std::nullopt;
}

void Sheet::shiftRowsDown(int first, int count)
{
    if (count <= 0 || first >= static_cast<int>(mRows.size()))
        return;
    const int last = lastRow();
    if (last >= first && last + count >= kMaxRows)
        throw Failure(QStringLiteral("Inserting %1 rows would push cells off the end of the sheet").arg(count));
    mRows.insert(mRows.begin() + first, count, Row{});
    // Rows past the sheet's end are empty (checked above).
    if (static_cast<int>(mRows.size()) > kMaxRows)
        mRows.resize(kMaxRows);
    const auto firstMoved = mFormulaCandidates.lower_bound({first, 0});
    std::vector<CellAddress> moved(firstMoved, mFormulaCandidates.end());
    mFormulaCandidates.erase(firstMoved, mFormulaCandidates.end());
    for (const CellAddress at : moved)
        if (at.row + count < kMaxRows)
            mFormulaCandidates.insert(mFormulaCandidates.end(), {at.row + count, at.column});
}

void Sheet::forEachColumnRun(const std::function<void(int first, int last, const ColumnInfo &)> &visit) const
{
    for (auto it = mColumns.begin(); it != mColumns.end();) {
        auto last = it;
        auto next = std::next(it);
        while (next != mColumns.end() && next->first == last->first + 1 && next->second == it->second)
            last = next++;
        visit(it->first, last->first, it->second);
        it = next;
    }
}

} // namespace orv::sheet
