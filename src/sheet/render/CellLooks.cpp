#include "sheet/render/CellLooks.h"

#include "sheet/formula/ConditionalStyling.h"
#include "sheet/model/Workbook.h"


namespace orv::sheet {

bool CellLook::hasValue() const { return cell && (cell->hasFormula() || !isEmpty(cell->value)); }

CellLooks::CellLooks(const Workbook &workbook, const Sheet &sheet, int firstColumn, int lastColumn,
                     RuleTest ruleHolds)
    : mWorkbook(workbook), mSheet(sheet), mFirstColumn(firstColumn), mLastColumn(lastColumn),
      mRuleHolds(std::move(ruleHolds))
{
}

const CellFormat &CellLooks::baseFormat(int row, int column, const Cell *cell) const
{
    if (cell)
        return mWorkbook.format(cell->formatIndex);
    if (const RowInfo *info = mSheet.rowInfo(row); info && info->formatIndex)
        return mWorkbook.format(*info->formatIndex);
    if (const ColumnInfo *info = mSheet.columnInfo(column))
        return mWorkbook.format(info->formatIndex);
    return mWorkbook.format(0);
}

void CellLooks::resolveRow(int row, std::vector<CellLook> &looks) const
{
    looks.clear();
    looks.reserve(mLastColumn - mFirstColumn + 1);
    for (int column = mFirstColumn; column <= mLastColumn; ++column)
        looks.push_back(resolveCell({row, column}));
}

CellLook CellLooks::resolveCell(CellAddress at) const
{
    CellLook look;
    look.cell = mSheet.cell(at);
    look.format = &baseFormat(at.row, at.column, look.cell);
    look.fill = look.format->fill;
    look.borders = look.format->borders;
    look.bold = look.format->font.bold;
    look.fontColor = look.format->font.color;
    if (mRuleHolds)
        applyConditionalFormats(at, look);
    return look;
}

// The conditional look drawn over the cell's own format.
void CellLooks::applyConditionalFormats(CellAddress at, CellLook &look) const
{
    const ConditionalStyle merged = conditionalStyleAt(mSheet, at, mRuleHolds);
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
