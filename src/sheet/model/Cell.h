#pragma once

#include "sheet/model/FormulaNode.h"
#include "sheet/model/Value.h"

namespace orv::sheet {

// A cell: a constant value, or a formula with its last computed result in
// `value`; and the index of its format in the workbook's format table.
struct Cell {
    Value value;
    FormulaPtr formula;
    int formatIndex = 0;

    bool hasFormula() const { return formula != nullptr; }
};

} // namespace orv::sheet
