#include "sheet/formula/Evaluator.h"

#include "sheet/formula/Evaluation.h"

namespace orv::sheet {

Evaluator::Evaluator(const Workbook &workbook, const Clock &clock) : mWorkbook(workbook), mClock(clock) {}

Value Evaluator::evaluate(const FormulaNode &formula, const Sheet &sheet, CellAddress at) const
{
    return evaluateAt(formula, sheet, at, at);
}

Value Evaluator::evaluateAt(const FormulaNode &formula, const Sheet &sheet, CellAddress anchor, CellAddress at) const
{
    Value result = operandAt(formula, sheet, anchor, at);
    // A formula that ends in an empty cell shows 0.
    if (isEmpty(result))
        return 0.0;
    return result;
}

Value Evaluator::operandAt(const FormulaNode &part, const Sheet &sheet, CellAddress anchor, CellAddress at) const
{
    Evaluation evaluation(mWorkbook, mClock, sheet, at, at.row - anchor.row, at.column - anchor.column);
    return evaluation.scalar(part);
}

bool isTrue(const Value &value)
{
    if (const bool *boolean = std::get_if<bool>(&value))
        return *boolean;
    if (const double *number = std::get_if<double>(&value))
        return *number != 0;
    return false;
}

} // namespace orv::sheet
