#pragma once

#include "sheet/Clock.h"
#include "sheet/model/CellAddress.h"
#include "sheet/model/FormulaNode.h"
#include "sheet/model/Value.h"

namespace orv::sheet {

class Sheet;
class Workbook;

// Computes formulas with the spreadsheet's rules. Referenced cells give
// their stored value, for formula cells the cached result of the last
// recalculation (see recalculate()). TODAY() and NOW() give the moment of the
// first of them computed by this evaluator.
class Evaluator {
public:
    Evaluator(const Workbook &workbook, const Clock &clock);

    // The value of a formula standing in cell `at` of `sheet`.
    Value evaluate(const FormulaNode &formula, const Sheet &sheet, CellAddress at) const;
    // The value of a formula written for cell `anchor` when it is applied to
    // cell `at`: its relative references move by at - anchor, as for a
    // conditional-format rule over a range whose first cell is `anchor`.
    Value evaluateAt(const FormulaNode &formula, const Sheet &sheet, CellAddress anchor, CellAddress at) const;
    // A part of such a formula as an operator above it sees it: like
    // evaluateAt, except that an empty cell stays empty.
    Value operandAt(const FormulaNode &part, const Sheet &sheet, CellAddress anchor, CellAddress at) const;

private:
    const Workbook &mWorkbook;
    HeldClock mClock;
};

// Whether a value counts as true where a condition is expected: TRUE or a
// non-zero number. Text, empty and errors are not true.
bool isTrue(const Value &value);

} // namespace orv::sheet
