#pragma once

#include "sheet/formula/Evaluator.h"
#include "sheet/model/ConditionalFormat.h"

namespace orv::sheet {

// The first cell of a conditional format's first range, for which its rule
// formulas are written.
CellAddress anchorOf(const ConditionalFormat &format);

// The conditional look of one cell: formats in the sheet's order, rules in
// their order; a rule that holds sets the parts of the look that no earlier
// rule has set, and a holding rule marked stop-if-true ends the search.
ConditionalStyle conditionalStyleAt(const Evaluator &evaluator, const Sheet &sheet, CellAddress at);

} // namespace orv::sheet
