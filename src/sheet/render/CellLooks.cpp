#include "sheet/render/CellLooks.h"

#include "sheet/formula/ConditionalStyling.h"
#include "sheet/model/Workbook.h"

#include <optional>

namespace orv::sheet {

bool CellLook::hasValue() const { return cell && (cell->hasFormula() || !isEmpty(cell->value)); }

CellLooks::CellLooks(const Workbook &workbook, const Sheet &sheet, int firstColumn, int lastColumn,
                     RuleTest ruleHolds)
    : mWorkbook(workbook), mSheet(sheet), mFirstColumn(firstColumn), mLastColumn(lastColumn),
      mRuleHolds(std::move(ruleHolds))
{
    for (int column = firstColumn; column <= lastColumn; ++column) {
        const ColumnInfo *info = sheet.columnInfo(column);
        mColumnFormats.push_back(&workbook.format(info ? info->formatIndex : 0));
    }
}

// A row's own format, if it has one.
const CellFormat *CellLooks::rowFormat(int row) const
{
    const RowInfo *info = mSheet.rowInfo(row);
    return info && info->formatIndex ? &mWorkbook.format(*info->formatIndex) : nullptr;
}

// The format a cell is drawn with: its own, else its row's, else its column's.
const CellFormat &CellLooks::baseFormat(const CellFormat *ofRow, int column, const Cell *cell) const
{
    if (cell)
        return mWorkbook.format(cell->formatIndex);
    if (ofRow)
        return *ofRow;
    if (column >= mFirstColumn && column <= mLastColumn)
        return *mColumnFormats[static_cast<size_t>(column - mFirstColumn)];
    const ColumnInfo *info = mSheet.columnInfo(column);
    return mWorkbook.format(info ? info->formatIndex : 0);
}

// A row at a time: its cells are read in one walk along the row, and the
// conditional formats that reach into it are found once.
void CellLooks::resolveRow(int row, std::vector<CellLook> &looks) const
{
    const int columns = mLastColumn - mFirstColumn + 1;
    looks.assign(static_cast<size_t>(columns), CellLook{});
    const std::map<int, Cell> &cells = mSheet.rowCells(row);
    for (auto it = cells.lower_bound(mFirstColumn); it != cells.end() && it->first <= mLastColumn; ++it)
        looks[static_cast<size_t>(it->first - mFirstColumn)].cell = &it->second;
    const CellFormat *ofRow = rowFormat(row);
    const std::optional<RowConditionalFormats> conditional =
        mRuleHolds ? std::optional<RowConditionalFormats>(std::in_place, mSheet, row) : std::nullopt;
    for (int column = mFirstColumn; column <= mLastColumn; ++column) {
        CellLook &look = looks[static_cast<size_t>(column - mFirstColumn)];
        takeFormat(baseFormat(ofRow, column, look.cell), look);
        if (conditional)
            applyConditionalStyle(conditional->styleAt(column, mRuleHolds), look);
    }
}

CellLook CellLooks::resolveCell(CellAddress at) const
{
    CellLook look;
    look.cell = mSheet.cell(at);
    takeFormat(baseFormat(rowFormat(at.row), at.column, look.cell), look);
    if (mRuleHolds)
        applyConditionalStyle(conditionalStyleAt(mSheet, at, mRuleHolds), look);
    return look;
}

void CellLooks::takeFormat(const CellFormat &format, CellLook &look)
{
    look.format = &format;
    look.fill = format.fill;
    look.borders = format.borders;
    look.bold = format.font.bold;
    look.fontColor = format.font.color;
}

// The conditional look drawn over the cell's own format.
void CellLooks::applyConditionalStyle(const ConditionalStyle &merged, CellLook &look)
{
    if (merged.fill)
        look.fill = *merged.fill;
    if (merged.borders) {
        // A conditional border replaces only the sides it draws.
        const auto over = [](BorderLine &own, const BorderLine &conditional) {
            if (conditional.style != BorderStyle::None)
                own = conditional;
        };
        over(look.borders.left, merged.borders->left);
        over(look.borders.right, merged.borders->right);
        over(look.borders.top, merged.borders->top);
        over(look.borders.bottom, merged.borders->bottom);
    }
    if (merged.bold)
        look.bold = *merged.bold;
    if (merged.fontColor)
        look.fontColor = *merged.fontColor;
    look.conditionalColor = merged.fontColor.has_value();
}

} // namespace orv::sheet
