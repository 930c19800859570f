#include "sheet/xlsx/XlsxSheetWriter.h"

#include "files/Failure.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/render/ScreenFonts.h"
#include "sheet/render/SheetGeometry.h"
#include "sheet/xls/SheetUnits.h"
#include "sheet/xlsx/XlsxErrors.h"
#include "sheet/xlsx/XmlText.h"

#include <xlsxwriter.h>

namespace orv::sheet::xlsx {

namespace {

QString cellName(CellAddress at) { return columnName(at.column) + QString::number(at.row + 1); }

QString rangeName(const CellRange &range)
{
    const QString first = cellName(range.topLeft());
    return range.rowCount() == 1 && range.columnCount() == 1
               ? first
               : first + QLatin1Char(':') + cellName({range.lastRow, range.lastColumn});
}

QString absoluteRange(const CellRange &range)
{
    return QStringLiteral("$%1$%2:$%3$%4")
        .arg(columnName(range.firstColumn))
        .arg(range.firstRow + 1)
        .arg(columnName(range.lastColumn))
        .arg(range.lastRow + 1);
}

class SheetWriter {
public:
    SheetWriter(lxw_workbook *target, lxw_worksheet *worksheet, const Workbook &workbook, int index,
                XlsxFormats &formats)
        : mTarget(target), mOut(worksheet), mWorkbook(workbook), mSheet(workbook.sheet(index)), mIndex(index),
          mFormats(formats), mDigitWidth(maximumDigitWidth(workbook.format(0).font))
    {
    }

    void write()
    {
        writeColumns();
        // Merged areas are named before any row is written: the library
        // writes the rows one by one, in order, and a row once written
        // cannot be changed.
        writeMerges();
        writeRows();
        writeView();
        writePageSetup();
        writePrintNames();
        writeConditionalFormats();
    }

private:
    // `what` names the place for the report; it is made only on a failure.
    template <typename Place>
    void check(int code, Place what) const
    {
        if (code != LXW_NO_ERROR)
            checkXlsx(code, QStringLiteral("Sheet %1, %2").arg(mSheet.name(), placeText(what)));
    }
    static QString placeText(const QString &text) { return text; }
    template <typename Describe>
    static QString placeText(Describe describe) { return describe(); }

    // Each row's height, visibility and format, then its cells, row by row
    // from the top and left to right.
    void writeRows()
    {
        if (mSheet.defaultRowHeight() != LXW_DEF_ROW_HEIGHT)
            worksheet_set_default_row(mOut, points(mSheet.defaultRowHeight()), LXW_FALSE);
        const int lastRow = mSheet.lastRow();
        for (int row = 0; row <= lastRow; ++row) {
            const RowInfo *info = mSheet.rowInfo(row);
            if (info)
                writeRowInfo(row, *info);
            const bool rowFormatted = info && info->formatIndex && mFormats.cellFormat(*info->formatIndex);
            for (const auto &[column, cell] : mSheet.rowCells(row))
                writeCell({row, column}, cell, rowFormatted || columnFormatted(column));
        }
    }

    void writeRowInfo(int row, const RowInfo &info)
    {
        lxw_row_col_options options{};
        options.hidden = info.hidden ? LXW_TRUE : LXW_FALSE;
        lxw_format *format = info.formatIndex ? mFormats.cellFormat(*info.formatIndex) : nullptr;
        check(worksheet_set_row_opt(mOut, static_cast<lxw_row_t>(row), points(info.height), format, &options),
              [row] { return QStringLiteral("row %1").arg(row + 1); });
    }

    void writeColumns()
    {
        mSheet.forEachColumnRun([this](int first, int last, const ColumnInfo &info) {
            lxw_row_col_options options{};
            options.hidden = info.hidden ? LXW_TRUE : LXW_FALSE;
            // Set in pixels, so that every reader shows the width we draw.
            check(worksheet_set_column_pixels_opt(mOut, static_cast<lxw_col_t>(first), static_cast<lxw_col_t>(last),
                                                  static_cast<uint32_t>(pixels::columnWidth(info.width, mDigitWidth)),
                                                  mFormats.cellFormat(info.formatIndex), &options),
                  [first] { return QStringLiteral("column %1").arg(columnName(first)); });
        });
    }

    // Heights are kept in whole twips, as in the 97-2003 format.
    static double points(double height) { return xls::pointsToTwips(height) / 20.0; }

    void writeMerges()
    {
        for (const CellRange &range : mSheet.mergedRanges()) {
            if (range.rowCount() == 1 && range.columnCount() == 1)
                continue; // merges nothing
            check(worksheet_merge_range(mOut, static_cast<lxw_row_t>(range.firstRow),
                                        static_cast<lxw_col_t>(range.firstColumn),
                                        static_cast<lxw_row_t>(range.lastRow),
                                        static_cast<lxw_col_t>(range.lastColumn), "", nullptr),
                  QStringLiteral("merged cells %1").arg(rangeName(range)));
        }
    }

    bool columnFormatted(int column)
    {
        const ColumnInfo *info = mSheet.columnInfo(column);
        return info && mFormats.cellFormat(info->formatIndex);
    }

    // `placeFormatted`: the cell's row or column has a format of its own,
    // which the cell's own format, even the default one, overrides.
    void writeCell(CellAddress at, const Cell &cell, bool placeFormatted)
    {
        const auto row = static_cast<lxw_row_t>(at.row);
        const auto column = static_cast<lxw_col_t>(at.column);
        lxw_format *format = mFormats.cellFormat(cell.formatIndex);
        if (!format && placeFormatted)
            format = mFormats.defaultLook();
        const Value &value = cell.value;
        int code = LXW_NO_ERROR;
        if (cell.hasFormula()) {
            const QString formula = QLatin1Char('=') + printFormula(*cell.formula);
            if (!isXmlText(formula))
                throw Failure(QStringLiteral("Sheet %1, cell %2: the formula holds a character an .xlsx file cannot carry")
                                  .arg(mSheet.name(), cellName(at)));
            code = writeFormula(row, column, formula, format, value);
        } else if (const double *number = std::get_if<double>(&value)) {
            code = worksheet_write_number(mOut, row, column, *number, format);
        } else if (const QString *text = std::get_if<QString>(&value)) {
            code = worksheet_write_string(mOut, row, column, escapedXmlText(*text).toUtf8().constData(), format);
        } else if (const bool *boolean = std::get_if<bool>(&value)) {
            code = worksheet_write_boolean(mOut, row, column, *boolean ? 1 : 0, format);
        } else if (const ErrorCode *error = std::get_if<ErrorCode>(&value)) {
            // The library has no error constant: the error literal as a
            // formula shows and computes the same.
            code = writeFormula(row, column, QLatin1Char('=') + errorText(*error), format, value);
        } else if (format) {
            code = worksheet_write_blank(mOut, row, column, format);
        }
        check(code, [at] { return QStringLiteral("cell %1").arg(cellName(at)); });
    }

    // Formulas carry their last result: LibreOffice shows the stored result
    // of an .xlsx file without recalculating it. Booleans and errors are
    // stored as their text, the only other kind of result the library writes.
    int writeFormula(lxw_row_t row, lxw_col_t column, const QString &formula, lxw_format *format,
                     const Value &result)
    {
        const QByteArray text = formula.toUtf8();
        if (const double *number = std::get_if<double>(&result))
            return worksheet_write_formula_num(mOut, row, column, text.constData(), format, *number);
        QString shown;
        if (const QString *string = std::get_if<QString>(&result))
            shown = *string;
        else if (const bool *boolean = std::get_if<bool>(&result))
            shown = *boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        else if (const ErrorCode *error = std::get_if<ErrorCode>(&result))
            shown = errorText(*error);
        return worksheet_write_formula_str(mOut, row, column, text.constData(), format,
                                           escapedXmlText(shown).toUtf8().constData());
    }

    void writeView()
    {
        const SheetView &view = mSheet.view();
        if (!view.showGridlines)
            worksheet_gridlines(mOut, LXW_HIDE_ALL_GRIDLINES);
        if (view.frozenRows > 0 || view.frozenColumns > 0)
            worksheet_freeze_panes(mOut, static_cast<lxw_row_t>(view.frozenRows),
                                   static_cast<lxw_col_t>(view.frozenColumns));
        const CellRange selected = selectionFrom(view);
        worksheet_set_selection(mOut, static_cast<lxw_row_t>(selected.firstRow),
                                static_cast<lxw_col_t>(selected.firstColumn), static_cast<lxw_row_t>(selected.lastRow),
                                static_cast<lxw_col_t>(selected.lastColumn));
        if (mSheet.visibility() != SheetVisibility::Visible)
            worksheet_hide(mOut);
        else if (mIndex == mWorkbook.activeSheet())
            worksheet_activate(mOut);
        else if (view.selected)
            worksheet_select(mOut);
    }

    // The library selects one range whose first corner is the active cell.
    // A selection it cannot state that way is reduced to the active cell.
    static CellRange selectionFrom(const SheetView &view)
    {
        const CellAddress active = view.activeCell;
        if (view.selection.size() == 1) {
            const CellRange &range = view.selection.front();
            const bool top = active.row == range.firstRow, bottom = active.row == range.lastRow;
            const bool left = active.column == range.firstColumn, right = active.column == range.lastColumn;
            if ((top || bottom) && (left || right))
                return {active.row, active.column, top ? range.lastRow : range.firstRow,
                        left ? range.lastColumn : range.firstColumn};
        }
        return CellRange::single(active);
    }

    void writePageSetup()
    {
        const PageSetup &page = mSheet.pageSetup();
        if (page.orientation == Orientation::Landscape)
            worksheet_set_landscape(mOut);
        if (page.paperSize > 0 && page.paperSize <= 255)
            worksheet_set_paper(mOut, static_cast<uint8_t>(page.paperSize));
        if (page.scale != PageSetup().scale)
            worksheet_set_print_scale(mOut, static_cast<uint16_t>(std::clamp(page.scale, 10, 400)));
        const PageMargins &m = page.margins;
        worksheet_set_margins(mOut, m.left, m.right, m.top, m.bottom);
        // Both formats keep at most 255 characters; the 97-2003 writer cuts
        // longer texts the same way.
        lxw_header_footer_options header{};
        header.margin = m.header;
        lxw_header_footer_options footer{};
        footer.margin = m.footer;
        if (!page.header.isEmpty())
            check(worksheet_set_header_opt(mOut, page.header.left(255).toUtf8().constData(), &header),
                  QStringLiteral("header"));
        if (!page.footer.isEmpty())
            check(worksheet_set_footer_opt(mOut, page.footer.left(255).toUtf8().constData(), &footer),
                  QStringLiteral("footer"));
    }

    void writePrintNames()
    {
        const PrintAreas &areas = mSheet.printAreas();
        const QString sheet = quoteSheetName(mSheet.name()) + QLatin1Char('!');
        QStringList area;
        for (const CellRange &range : areas.printArea)
            area << sheet + absoluteRange(range);
        QStringList titles;
        if (areas.titleColumns)
            titles << sheet + QStringLiteral("$%1:$%2").arg(columnName(areas.titleColumns->firstColumn),
                                                            columnName(areas.titleColumns->lastColumn));
        if (areas.titleRows)
            titles << sheet + QStringLiteral("$%1:$%2").arg(areas.titleRows->firstRow + 1).arg(areas.titleRows->lastRow + 1);
        defineName(QStringLiteral("_xlnm.Print_Area"), area);
        defineName(QStringLiteral("_xlnm.Print_Titles"), titles);
    }

    void defineName(const QString &name, const QStringList &ranges)
    {
        if (ranges.isEmpty())
            return;
        const QString local = quoteSheetName(mSheet.name()) + QLatin1Char('!') + name;
        check(workbook_define_name(mTarget, local.toUtf8().constData(),
                                   (QLatin1Char('=') + ranges.join(QLatin1Char(','))).toUtf8().constData()),
              name.mid(6).replace(QLatin1Char('_'), QLatin1Char(' ')).toLower());
    }

    // Each rule keeps its place in the order of precedence: the library
    // numbers the rules in the order they are added.
    void writeConditionalFormats()
    {
        for (const ConditionalFormat &conditional : mSheet.conditionalFormats()) {
            if (conditional.ranges.empty())
                continue;
            QStringList ranges;
            for (const CellRange &range : conditional.ranges)
                ranges << rangeName(range);
            const QByteArray multiRange = ranges.join(QLatin1Char(' ')).toUtf8();
            const CellRange &primary = conditional.ranges.front();
            for (const ConditionalRule &rule : conditional.rules)
                writeRule(rule, primary, conditional.ranges.size() > 1 ? multiRange.constData() : nullptr);
        }
    }

    void writeRule(const ConditionalRule &rule, const CellRange &primary, const char *multiRange)
    {
        const QString where = QStringLiteral("conditional format on %1").arg(rangeName(primary));
        if (!rule.formula)
            throw Failure(QStringLiteral("Sheet %1, %2: a rule has no formula").arg(mSheet.name(), where));
        QByteArray formula = (QLatin1Char('=') + printFormula(*rule.formula)).toUtf8();
        lxw_conditional_format options{};
        options.type = LXW_CONDITIONAL_TYPE_FORMULA;
        options.value_string = formula.data();
        options.format = mFormats.conditionalFormat(rule.style);
        options.multi_range = const_cast<char *>(multiRange);
        options.stop_if_true = rule.stopIfTrue ? LXW_TRUE : LXW_FALSE;
        check(worksheet_conditional_format_range(mOut, static_cast<lxw_row_t>(primary.firstRow),
                                                 static_cast<lxw_col_t>(primary.firstColumn),
                                                 static_cast<lxw_row_t>(primary.lastRow),
                                                 static_cast<lxw_col_t>(primary.lastColumn), &options),
              where);
    }

    lxw_workbook *mTarget;
    lxw_worksheet *mOut;
    const Workbook &mWorkbook;
    const Sheet &mSheet;
    int mIndex;
    XlsxFormats &mFormats;
    int mDigitWidth;
};

} // namespace

void writeXlsxSheet(lxw_workbook *target, lxw_worksheet *worksheet, const Workbook &workbook, int index,
                    XlsxFormats &formats)
{
    SheetWriter(target, worksheet, workbook, index, formats).write();
}

} // namespace orv::sheet::xlsx
