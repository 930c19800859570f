#include "chart/template/TemplateSheet.h"

#include "files/Failure.h"
#include "sheet/formula/FormulaParser.h"

#include <QRegularExpression>

namespace orv::chart {

using namespace sheet;

CellAddress cellAt(QStringView a1)
{
    static const QRegularExpression pattern(QStringLiteral("^([A-Z]{1,2})([1-9][0-9]*)$"));
    const auto match = pattern.match(a1.toString());
    if (!match.hasMatch())
        throw Failure(QStringLiteral("\"%1\" is not a cell address").arg(a1));
    int column = 0;
    for (const QChar letter : match.capturedView(1))
        column = column * 26 + (letter.unicode() - 'A' + 1);
    return {match.capturedView(2).toInt() - 1, column - 1};
}

CellRange rangeAt(QStringView a1)
{
    const auto colon = a1.indexOf(u':');
    if (colon < 0)
        return CellRange::single(cellAt(a1));
    const CellAddress first = cellAt(a1.left(colon));
    const CellAddress last = cellAt(a1.mid(colon + 1));
    return {first.row, first.column, last.row, last.column};
}

TemplateSheet::TemplateSheet(Workbook &book, Sheet &sheet) : mBook(book), mSheet(sheet) {}

void TemplateSheet::setText(CellAddress at, const QString &text, const CellFormat &format)
{
    mSheet.setCell(at, Cell{text, nullptr, mBook.addFormat(format)});
}

void TemplateSheet::setNumber(CellAddress at, double number, const CellFormat &format)
{
    mSheet.setCell(at, Cell{number, nullptr, mBook.addFormat(format)});
}

void TemplateSheet::setFormula(CellAddress at, const QString &formula, const CellFormat &format)
{
    // No cached result: the template is the same file whatever the day it
    // was made, and every application computes the calendar when it opens it.
    mSheet.setCell(at, Cell{Value{}, parseFormula(formula), mBook.addFormat(format)});
}

void TemplateSheet::applyFormat(const CellRange &range, const CellFormat &format)
{
    const int index = mBook.addFormat(format);
    for (int row = range.firstRow; row <= range.lastRow; ++row)
        for (int column = range.firstColumn; column <= range.lastColumn; ++column)
            mSheet.cellAt({row, column}).formatIndex = index;
}

void TemplateSheet::applyColumnFormat(int column, const CellFormat &format)
{
    const ColumnInfo *own = mSheet.columnInfo(column);
    ColumnInfo info = own ? *own : ColumnInfo{};
    info.formatIndex = mBook.addFormat(format);
    mSheet.setColumnInfo(column, info);
}

} // namespace orv::chart
