#include "sheet/render/FormulaRules.h"

#include "sheet/formula/ConditionalStyling.h"
#include "sheet/formula/Evaluator.h"

namespace orv::sheet {

RuleTest formulaRules(const Evaluator &evaluator)
{
    return [&evaluator](const Sheet &sheet, const ConditionalFormat &format, const ConditionalRule &rule,
                        CellAddress at) {
        return rule.formula && isTrue(evaluator.evaluateAt(*rule.formula, sheet, anchorOf(format), at));
    };
}

} // namespace orv::sheet
