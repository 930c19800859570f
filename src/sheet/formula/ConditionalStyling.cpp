#include "sheet/formula/ConditionalStyling.h"

#include "sheet/model/Sheet.h"

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

} // namespace

CellAddress anchorOf(const ConditionalFormat &format)
{
    return format.ranges.empty() ? CellAddress{} : format.ranges.front().topLeft();
}

ConditionalStyle conditionalStyleAt(const Sheet &sheet, CellAddress at, const RuleTest &ruleHolds)
{
    ConditionalStyle look;
    for (const ConditionalFormat &format : sheet.conditionalFormats()) {
        if (!covers(format, at))
            continue;
        for (const ConditionalRule &rule : format.rules) {
            if (!ruleHolds(sheet, format, rule, at))
                continue;
            fillIn(look, rule.style);
            if (rule.stopIfTrue)
                return look;
        }
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
