#pragma once

#include "chart/CustomResource.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/model/Workbook.h"
#include "sheet/xls/XlsReader.h"

#include <QString>

namespace orv::chart::testing {

// The chart template as the program carries it, read back through the
// engine's reader.
inline sheet::Workbook readChartTemplate() { return sheet::xls::readXlsFile(loadCustomResource(101)); }

// The same, read once per test program.
inline const sheet::Workbook &chartTemplate()
{
    static const sheet::Workbook book = readChartTemplate();
    return book;
}

inline const sheet::Sheet &projectPlan() { return chartTemplate().sheet(0); }

// A place in A1 notation, as the tables of the template name it.
inline sheet::CellAddress at(const char *a1)
{
    const QString text = QString::fromLatin1(a1);
    int column = 0;
    int i = 0;
    for (; i < text.size() && text[i].isLetter(); ++i)
        column = column * 26 + (text[i].unicode() - 'A' + 1);
    return {text.mid(i).toInt() - 1, column - 1};
}

inline sheet::CellRange area(const char *a1)
{
    const QString text = QString::fromLatin1(a1);
    const QStringList ends = text.split(u':');
    const sheet::CellAddress first = at(ends.front().toLatin1().constData());
    const sheet::CellAddress last = at(ends.back().toLatin1().constData());
    return {first.row, first.column, last.row, last.column};
}

inline QString formulaText(const sheet::Sheet &sheet, const char *a1)
{
    const sheet::Cell *cell = sheet.cell(at(a1));
    return cell && cell->formula ? sheet::printFormula(*cell->formula) : QString();
}

// The format a cell shows: its own, else its row's, else its column's.
inline const sheet::CellFormat &formatAt(const sheet::Sheet &sheet, const char *a1)
{
    const sheet::CellAddress where = at(a1);
    const sheet::Cell *cell = sheet.cell(where);
    const sheet::RowInfo *row = sheet.rowInfo(where.row);
    const sheet::ColumnInfo *column = sheet.columnInfo(where.column);
    const int index = cell                              ? cell->formatIndex
                      : row && row->formatIndex         ? *row->formatIndex
                      : column                          ? column->formatIndex
                                                        : 0;
    return chartTemplate().format(index);
}

inline sheet::Color rgb(QRgb value) { return sheet::Color::fromRgb(value); }

} // namespace orv::chart::testing
