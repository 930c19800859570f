#pragma once

#include "sheet/model/CellAddress.h"
#include "sheet/model/FormulaNode.h"

#include <QString>
#include <optional>

namespace orv::sheet {

// How rows inserted into one sheet move the references to it: every cell at
// or below `firstRow` moves down by `count`, so a range spanning the point
// grows. `formulaSheet` is the name of the sheet the formula stands on (its
// unqualified references point there) and `insertedSheet` the sheet that
// gets the rows.
struct RowInsertion {
    QString insertedSheet;
    int firstRow = 0;
    int count = 0;
};

// The formula after the insertion, or the same pointer when nothing in it
// moves. A reference pushed off the sheet becomes #REF!; a range whose end
// would leave the sheet ends at its last row.
FormulaPtr adjustForInsertedRows(const FormulaPtr &formula, const QString &formulaSheet, const RowInsertion &insertion);

// A range after the insertion, or nothing when it is pushed off the sheet.
std::optional<CellRange> adjustRange(const CellRange &range, int firstRow, int count);

// The last row (0-based) that a reference anywhere in the formula reaches,
// on any sheet, or -1 when it has no references. Row insertions below it
// leave the formula as it is.
int lastReferencedRow(const FormulaNode &formula);

// The formula copied `rows` down and `columns` right: relative references
// move, absolute ones stay; a reference moved off the sheet becomes #REF!.
FormulaPtr translateFormula(const FormulaPtr &formula, int rows, int columns);

} // namespace orv::sheet
