#pragma once

#include "sheet/model/CellFormat.h"
#include "sheet/formula/ConditionalStyling.h"
#include "sheet/model/ConditionalFormat.h"

#include <functional>
#include <vector>

namespace orv::sheet {

class Sheet;
class Workbook;
struct Cell;

// Decides whether a conditional rule's formula holds for one cell of the
// format's ranges.

// How one cell is drawn: its own format with the conditional formats that
// hold for it drawn over it.
struct CellLook {
    const Cell *cell = nullptr;
    const CellFormat *format = nullptr;
    Fill fill;
    Borders borders;
    bool bold = false;
    Color fontColor;
    bool conditionalColor = false; // a conditional format set the font colour

    bool hasValue() const;
};

// Resolves the looks of whole rows of a range.
class CellLooks {
public:
    CellLooks(const Workbook &workbook, const Sheet &sheet, int firstColumn, int lastColumn, RuleTest ruleHolds);

    // The looks of columns firstColumn..lastColumn of the row.
    void resolveRow(int row, std::vector<CellLook> &looks) const;
    // The look of any one cell, inside the columns or not.
    CellLook resolveCell(CellAddress at) const;

private:
    const CellFormat *rowFormat(int row) const;
    const CellFormat &baseFormat(const CellFormat *ofRow, int column, const Cell *cell) const;
    static void takeFormat(const CellFormat &format, CellLook &look);
    static void applyConditionalStyle(const ConditionalStyle &merged, CellLook &look);

    const Workbook &mWorkbook;
    const Sheet &mSheet;
    int mFirstColumn;
    int mLastColumn;
    RuleTest mRuleHolds;
    std::vector<const CellFormat *> mColumnFormats; // of cells without a format of their own, by column
};

} // namespace orv::sheet
