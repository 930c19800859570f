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

ConditionalStyle conditionalStyleAt(const Evaluator &evaluator, const Sheet &sheet, CellAddress at)
{
    ConditionalStyle look;
    for (const ConditionalFormat &format : sheet.conditionalFormats()) {
        if (!covers(format, at))
            continue;
        const CellAddress anchor = anchorOf(format);
        for (const ConditionalRule &rule : format.rules) {
            if (!rule.formula || !isTrue(evaluator.evaluateAt(*rule.formula, sheet, anchor, at)))
                continue;
            fillIn(look, rule.style);
            if (rule.stopIfTrue)
                return look;
        }
    }
    return look;
}

} // namespace orv::sheet
