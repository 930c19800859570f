#pragma once

#include "sheet/formula/Evaluator.h"
#include "sheet/model/ConditionalFormat.h"

#include <functional>
#include <utility>
#include <vector>

namespace orv::sheet {

// The first cell of a conditional format's first range, for which its rule
// formulas are written.
CellAddress anchorOf(const ConditionalFormat &format);

// Whether a rule of a format holds for a cell.
using RuleTest = std::function<bool(const Sheet &, const ConditionalFormat &, const ConditionalRule &, CellAddress)>;

// The conditional look of one cell: formats in the sheet's order, rules in
// their order; a rule that holds sets the parts of the look that no earlier
// rule has set, and a holding rule marked stop-if-true ends the search.
ConditionalStyle conditionalStyleAt(const Sheet &sheet, CellAddress at, const RuleTest &ruleHolds);
// The same with every rule decided by its formula.
ConditionalStyle conditionalStyleAt(const Evaluator &evaluator, const Sheet &sheet, CellAddress at);

// The conditional formats that reach into one row, with the columns each
// covers there: worked out once for all the cells of a row, which then give
// the looks conditionalStyleAt gives.
class RowConditionalFormats {
public:
    RowConditionalFormats(const Sheet &sheet, int row);

    ConditionalStyle styleAt(int column, const RuleTest &ruleHolds) const;

private:
    struct Reach {
        const ConditionalFormat *format;
        std::vector<std::pair<int, int>> columns; // first and last, by range
    };

    const Sheet &mSheet;
    int mRow;
    std::vector<Reach> mFormats; // in the sheet's order
};

} // namespace orv::sheet
