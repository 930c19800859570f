#pragma once

#include "sheet/render/CellLooks.h"

namespace orv::sheet {

class Evaluator;

// Conditional rules decided by their formulas: a rule holds for a cell when
// its formula, moved from the format's first cell to that cell, gives TRUE or
// a non-zero number.
//
// A rule whose references all keep their row ("H$6", "$D$3") gives the same
// answer down a whole column, and one whose references all keep their column
// ("$B11") the same answer along a row; such answers, and those of such
// conditions inside an AND, are computed once and remembered; an AND of
// comparisons is decided condition by condition, stopping at the first that
// fails, so a cell evaluates only what its row and column leave open. Such a
// condition that compares a part following rows with one following columns
// ("H$6>=$D11") takes both parts' remembered values. The test is
// therefore made for one picture of an unchanging workbook, and the
// evaluator must outlive it.
RuleTest formulaRules(const Evaluator &evaluator);

// Whether a formula's value can change from row to row, and from column to
// column, when it is moved like a conditional rule.
struct FormulaDependence {
    bool onRow = false;
    bool onColumn = false;
};
FormulaDependence dependenceOf(const FormulaNode &formula);

} // namespace orv::sheet
