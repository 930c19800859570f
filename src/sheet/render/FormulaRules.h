#pragma once

#include "sheet/render/CellLooks.h"

namespace orv::sheet {

class Evaluator;

// Conditional rules decided by their formulas: a rule holds for a cell when
// its formula, moved from the format's first cell to that cell, gives TRUE or
// a non-zero number. The evaluator must outlive the returned test.
RuleTest formulaRules(const Evaluator &evaluator);

} // namespace orv::sheet
