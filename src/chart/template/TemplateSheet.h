#pragma once

#include "sheet/model/Workbook.h"

#include <QString>
#include <QStringView>

namespace orv::chart {

// The template's places in A1 notation: "H11" and "H11:GU12".
sheet::CellAddress cellAt(QStringView a1);
sheet::CellRange rangeAt(QStringView a1);

// A row of the given height that keeps it whatever its content.
inline sheet::RowInfo fixedHeight(double points)
{
    sheet::RowInfo info;
    info.height = points;
    info.customHeight = true;
    return info;
}

// Writes the cells of one sheet of the template, keeping their formats in
// the workbook's format table.
class TemplateSheet {
public:
    TemplateSheet(sheet::Workbook &book, sheet::Sheet &sheet);

    sheet::Sheet &sheet() { return mSheet; }

    void setText(sheet::CellAddress at, const QString &text, const sheet::CellFormat &format = {});
    void setNumber(sheet::CellAddress at, double number, const sheet::CellFormat &format = {});
    // The formula text as typed, with its leading "=".
    void setFormula(sheet::CellAddress at, const QString &formula, const sheet::CellFormat &format = {});
    // Gives every cell of the range the format, adding empty cells where none are.
    void applyFormat(const sheet::CellRange &range, const sheet::CellFormat &format);
    // Gives the column a format of its own, which its cells without one take.
    void applyColumnFormat(int column, const sheet::CellFormat &format);
    void merge(const sheet::CellRange &range) { mSheet.mergedRanges().push_back(range); }

private:
    sheet::Workbook &mBook;
    sheet::Sheet &mSheet;
};

} // namespace orv::chart
