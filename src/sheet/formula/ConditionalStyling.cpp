#include "sheet/formula/ConditionalStyling.h"

#include "sheet/model/Sheet.h"

#include <algorithm>

namespace orv::sheet {

namespace {

// Copies the parts of `style` that `look` does not have yet.
void fillIn(ConditionalStyle &look, const ConditionalStyle &style)
{
    if (!look.fontColor)
        look.fontColor = style.fontColor;
    if (!look.bold)
        look.bold = style.bold;
    if (!look.fill)
        look.fill = style.fill;
    if (!look.borders)
        look.borders = style.borders;
}

bool covers(const ConditionalFormat &format, CellAddress at)
{
    for (const CellRange &range : format.ranges)
        if (range.contains(at))
            return true;
    return false;
}

// Adds the rules of a format that covers the cell to its look; false when a
// holding rule ends the search.
bool applyFormat(const Sheet &sheet, const ConditionalFormat &format, CellAddress at, const RuleTest &ruleHolds,
                 ConditionalStyle &look)
{
    for (const ConditionalRule &rule : format.rules) {
        if (!ruleHolds(sheet, format, rule, at))
            continue;
        fillIn(look, rule.style);
        if (rule.stopIfTrue)
            return false;
    }
    return true;
}

} // namespace

CellAddress anchorOf(const ConditionalFormat &format)
{
    return format.ranges.empty() ? CellAddress{} : format.ranges.front().topLeft();
}

ConditionalStyle conditionalStyleAt(const Sheet &sheet, CellAddress at, const RuleTest &ruleHolds)
{
    ConditionalStyle look;
    for (const ConditionalFormat &format : sheet.conditionalFormats())
        if (covers(format, at) && !applyFormat(sheet, format, at, ruleHolds, look))
            break;
    return look;
}

RowConditionalFormats::RowConditionalFormats(const Sheet &sheet, int row) : mSheet(sheet), mRow(row)
{
    for (const ConditionalFormat &format : sheet.conditionalFormats()) {
        Reach reach{&format, {}};
        for (const CellRange &range : format.ranges)
            if (row >= range.firstRow && row <= range.lastRow)
                reach.columns.emplace_back(range.firstColumn, range.lastColumn);
        if (!reach.columns.empty())
            mFormats.push_back(std::move(reach));
    }
}

ConditionalStyle RowConditionalFormats::styleAt(int column, const RuleTest &ruleHolds) const
{
    ConditionalStyle look;
    const CellAddress at{mRow, column};
    for (const Reach &reach : mFormats) {
        const bool covered = std::any_of(reach.columns.begin(), reach.columns.end(), [&](const auto &columns) {
            return column >= columns.first && column <= columns.second;
        });
        if (covered && !applyFormat(mSheet, *reach.format, at, ruleHolds, look))
            break;
    }
    return look;
}

ConditionalStyle conditionalStyleAt(const Evaluator &evaluator, const Sheet &sheet, CellAddress at)
{
    return conditionalStyleAt(sheet, at,
                              [&](const Sheet &onSheet, const ConditionalFormat &format, const ConditionalRule &rule,
                                  CellAddress cell) {
                                  return rule.formula
                                         && isTrue(evaluator.evaluateAt(*rule.formula, onSheet, anchorOf(format), cell));
                              });
}

} // namespace orv::sheet
