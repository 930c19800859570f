#pragma once

#include "sheet/model/FormulaNode.h"

#include <QString>

namespace orv::sheet {

// The A1 text of a formula tree, without the leading "=". Parsing the result
// gives the same tree; text parsed from a formula prints back as written,
// except that names and references come out in upper case, blanks that are
// not an operator are dropped and sheet names are quoted only when needed.
QString printFormula(const FormulaNode &formula);

// The A1 text of one reference end ("$B$3") and of a column ("AB").
QString columnName(int column);
QString printReference(const Reference &reference);
// A sheet name as a formula writes it before "!": quoted when it is not a
// plain word.
QString quoteSheetName(const QString &name);

// The text of a number as a formula writes it (shortest exact form).
QString printNumber(double value);
// The text of an error value ("#DIV/0!").
QString errorText(ErrorCode error);

} // namespace orv::sheet
