#pragma once

#include "sheet/model/FormulaNode.h"

#include <QString>

namespace orv::sheet {

// Parses a formula in A1 syntax, with or without the leading "=", into its
// tree. Function names are stored in upper case. Throws a Failure that names
// the problem and its position when the text is not a formula.
FormulaPtr parseFormula(const QString &text);

} // namespace orv::sheet
