#pragma once

// Sample workbooks and a model comparison shared by the xls tests.

#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/model/Workbook.h"

#include <gtest/gtest.h>

namespace orv::sheet::xls::testing {

inline FormulaPtr formula(const QString &text) { return parseFormula(text); }

// Equal trees print the same text.
inline QString describe(const FormulaPtr &formula) { return formula ? printFormula(*formula) : QStringLiteral("none"); }

// The cell of an A1 reference such as "B2".
inline CellAddress cellAt(const QString &a1)
{
    const FormulaPtr reference = parseFormula(a1);
    return {reference->ref.row, reference->ref.column};
}

inline QString describe(const Value &value)
{
    if (const double *d = std::get_if<double>(&value))
        return QString::number(*d, 'g', 17);
    if (const QString *s = std::get_if<QString>(&value))
        return QLatin1Char('"') + s->left(40) + QStringLiteral("\"(%1)").arg(s->size());
    if (const bool *b = std::get_if<bool>(&value))
        return *b ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (const ErrorCode *e = std::get_if<ErrorCode>(&value))
        return QStringLiteral("#%1").arg(static_cast<int>(*e));
    return QStringLiteral("empty");
}

// The active sheet's tab is always stored as selected.
inline void expectSameSheet(const Sheet &expected, const Sheet &actual, bool active)
{
    SCOPED_TRACE(expected.name().toStdString());
    EXPECT_EQ(expected.name(), actual.name());
    EXPECT_EQ(expected.visibility(), actual.visibility());
    EXPECT_EQ(expected.defaultRowHeight(), actual.defaultRowHeight());
    EXPECT_EQ(expected.defaultColumnWidth(), actual.defaultColumnWidth());
    EXPECT_EQ(expected.lastRow(), actual.lastRow());
    for (int row = 0; row <= std::max(expected.lastRow(), actual.lastRow()); ++row) {
        const RowInfo *a = expected.rowInfo(row), *b = actual.rowInfo(row);
        EXPECT_EQ(a != nullptr, b != nullptr) << "row " << row;
        if (a && b) {
            EXPECT_TRUE(*a == *b) << "row " << row << " height " << a->height << " vs " << b->height;
        }
        for (int column = 0; column < kMaxColumns; ++column) {
            const Cell *x = expected.cell({row, column}), *y = actual.cell({row, column});
            ASSERT_EQ(x != nullptr, y != nullptr) << "cell " << row << "," << column;
            if (!x)
                continue;
            EXPECT_EQ(describe(x->value), describe(y->value)) << "cell " << row << "," << column;
            EXPECT_EQ(x->formatIndex, y->formatIndex) << "cell " << row << "," << column;
            EXPECT_EQ(describe(x->formula), describe(y->formula)) << "cell " << row << "," << column;
        }
    }
    for (int column = 0; column < kMaxColumns; ++column) {
        const ColumnInfo *a = expected.columnInfo(column), *b = actual.columnInfo(column);
        EXPECT_EQ(a != nullptr, b != nullptr) << "column " << column;
        if (a && b) {
            EXPECT_TRUE(*a == *b) << "column " << column << " width " << a->width << " vs " << b->width;
        }
    }
    EXPECT_TRUE(expected.mergedRanges() == actual.mergedRanges());
    ASSERT_EQ(expected.conditionalFormats().size(), actual.conditionalFormats().size());
    for (size_t i = 0; i < expected.conditionalFormats().size(); ++i) {
        const ConditionalFormat &a = expected.conditionalFormats()[i], &b = actual.conditionalFormats()[i];
        EXPECT_TRUE(a.ranges == b.ranges) << "conditional format " << i;
        ASSERT_EQ(a.rules.size(), b.rules.size());
        for (size_t r = 0; r < a.rules.size(); ++r) {
            EXPECT_EQ(describe(a.rules[r].formula), describe(b.rules[r].formula)) << "rule " << i << "." << r;
            EXPECT_TRUE(a.rules[r].style == b.rules[r].style) << "rule " << i << "." << r;
            EXPECT_EQ(a.rules[r].stopIfTrue, b.rules[r].stopIfTrue);
        }
    }
    const SheetView &v = expected.view(), &w = actual.view();
    EXPECT_EQ(v.showGridlines, w.showGridlines);
    EXPECT_EQ(v.frozenColumns, w.frozenColumns);
    EXPECT_EQ(v.frozenRows, w.frozenRows);
    EXPECT_TRUE(v.activeCell == w.activeCell);
    EXPECT_TRUE(v.selection == w.selection);
    EXPECT_EQ(v.selected || active, w.selected);
    const PageSetup &p = expected.pageSetup(), &q = actual.pageSetup();
    EXPECT_EQ(p.orientation, q.orientation);
    EXPECT_EQ(p.paperSize, q.paperSize);
    EXPECT_EQ(p.scale, q.scale);
    EXPECT_EQ(p.header, q.header);
    EXPECT_EQ(p.footer, q.footer);
    EXPECT_TRUE(expected.printAreas().printArea == actual.printAreas().printArea);
    EXPECT_TRUE(expected.printAreas().titleColumns == actual.printAreas().titleColumns);
    EXPECT_TRUE(expected.printAreas().titleRows == actual.printAreas().titleRows);
}

// Expects the two workbooks to hold the same model content.
inline void expectSameWorkbook(const Workbook &expected, const Workbook &actual)
{
    EXPECT_EQ(expected.isTemplate(), actual.isTemplate());
    EXPECT_EQ(expected.activeSheet(), actual.activeSheet());
    ASSERT_EQ(expected.formatCount(), actual.formatCount());
    for (int i = 0; i < expected.formatCount(); ++i)
        EXPECT_TRUE(expected.format(i) == actual.format(i)) << "format " << i;
    ASSERT_EQ(expected.sheetCount(), actual.sheetCount());
    for (int i = 0; i < expected.sheetCount(); ++i)
        expectSameSheet(expected.sheet(i), actual.sheet(i), i == expected.activeSheet());
}

inline void setFormula(Sheet &sheet, const QString &a1, const QString &text, Value cached, int format = 0)
{
    Cell cell;
    cell.formula = parseFormula(text);
    cell.value = std::move(cached);
    cell.formatIndex = format;
    sheet.setCell(cellAt(a1), cell);
}

inline void setValue(Sheet &sheet, const QString &a1, Value value, int format = 0)
{
    Cell cell;
    cell.value = std::move(value);
    cell.formatIndex = format;
    sheet.setCell(cellAt(a1), cell);
}

inline CellRange rangeOf(const QString &from, const QString &to)
{
    const CellAddress a = cellAt(from), b = cellAt(to);
    return {a.row, a.column, b.row, b.column};
}

// A chart-like workbook that uses every part of the model the format stores:
// every cell type, fonts, fills, borders, custom colours, formulas with
// relative and absolute references, dates, merges, conditional formats with
// several rules on several ranges, hidden sheets, long and non-ASCII text.
inline Workbook richWorkbook()
{
    Workbook book;
    book.setTemplate(true);
    CellFormat header;
    header.font.bold = true;
    header.font.color = Color::fromRgb(0xFFFFFF);
    header.fill = {FillPattern::Solid, Color::fromRgb(0x333399)};
    header.alignment.horizontal = HorizontalAlignment::Center;
    const int headerFormat = book.addFormat(header);
    CellFormat date;
    date.numberFormat = QStringLiteral("m/d;@");
    date.fill = {FillPattern::Solid, Color::fromRgb(0xFFCC99)};
    date.borders.bottom = {BorderStyle::Thin, Color{}};
    date.borders.left = {BorderStyle::Dashed, Color::fromRgb(0x123456)};
    const int dateFormat = book.addFormat(date);
    CellFormat percent;
    percent.numberFormat = QStringLiteral("0%");
    percent.font.name = QStringLiteral("Arial");
    percent.font.size = 1;
    percent.font.italic = true;
    percent.font.underline = true;
    percent.alignment = {HorizontalAlignment::Right, VerticalAlignment::Top, true, true, 45, 2};
    percent.locked = false;
    percent.hidden = true;
    percent.borders.top = {BorderStyle::Double, Color::fromRgb(0xABCDEF)};
    percent.borders.right = {BorderStyle::Hair, Color{}};
    const int percentFormat = book.addFormat(percent);

    Sheet &plan = book.addSheet(QStringLiteral("Project Plan"));
    book.addSheet(QStringLiteral("Instructions")).setVisibility(SheetVisibility::Hidden);
    Sheet &version = book.addSheet(QStringLiteral("Version"));
    version.setVisibility(SheetVisibility::VeryHidden);

    plan.setColumnInfo(0, {1.43, false, 0});
    plan.setColumnInfo(1, {2.14, false, 0});
    plan.setColumnInfo(2, {25.86, false, headerFormat});
    plan.setColumnInfo(3, {5.71, false, 0});
    plan.setColumnInfo(4, {5.71, false, 0});
    plan.setColumnInfo(6, {0.71, true, 0});
    for (int column = 7; column < 40; ++column)
        plan.setColumnInfo(column, {2.0, false, 0});
    plan.setRowInfo(0, {7.5, true, false, std::nullopt});
    plan.setRowInfo(1, {18.75, true, false, headerFormat});
    plan.setRowInfo(7, {3.75, true, true, std::nullopt});

    setValue(plan, "B2", QStringLiteral("Special Events"), headerFormat);
    setValue(plan, "B3", QStringLiteral("Größe – 日本語 ✓"));
    setValue(plan, "B4", QString(9000, QChar(0x65E5)));
    setValue(plan, "B5", QString(10000, QLatin1Char('x')));
    setValue(plan, "D3", 42705.0, dateFormat);
    setValue(plan, "E3", 42710.0, dateFormat);
    setValue(plan, "F3", 0.8, percentFormat);
    setValue(plan, "F4", -1234.5678);
    setValue(plan, "F5", true);
    setValue(plan, "F6", false);
    setValue(plan, "F7", ErrorCode::Div0);
    setValue(plan, "F8", Value{}, headerFormat);
    setValue(plan, "D11", 42706.0, dateFormat);
    setValue(plan, "E11", 42712.0, dateFormat);
    setFormula(plan, "D10", "MIN(D11:D12)", 42706.0, dateFormat);
    setFormula(plan, "H6", "MAX(MIN(D3:E15),TODAY()-30)", 42705.0, dateFormat);
    setFormula(plan, "I6", "H6+1", 42706.0, dateFormat);
    setFormula(plan, "I4", "IF(MONTH(I6)<>MONTH(H6),I6,\"\")", QString(), headerFormat);
    setFormula(plan, "J4", "\"Week \"&Version!$B$3", QStringLiteral("Week 1"));
    setFormula(plan, "K4", "$D$3>=(2.5*E$3)", true);
    setFormula(plan, "L4", "1/0", ErrorCode::Div0);
    plan.mergedRanges() = {rangeOf("A10", "C10"), rangeOf("H2", "Z3"), rangeOf("B3", "C3")};

    ConditionalFormat bars;
    bars.ranges = {rangeOf("H11", "AN12"), rangeOf("H20", "AN21")};
    ConditionalRule completed;
    completed.formula = formula("AND($B11<>\"\",$F11>0,H$6>=$D11)");
    completed.style.fill = Fill{FillPattern::Solid, Color::fromRgb(0xFFFF99)};
    completed.style.borders = Borders{{BorderStyle::Thin, Color{}}, {BorderStyle::Thin, Color{}},
                                      {BorderStyle::Thin, Color::fromRgb(0x808080)}, {BorderStyle::None, Color{}}};
    completed.stopIfTrue = true;
    ConditionalRule bar;
    bar.formula = formula("H$6<=$E11");
    bar.style.fill = Fill{FillPattern::Solid, Color::fromRgb(0x33CCCC)};
    bar.style.fontColor = Color::fromRgb(0x000080);
    bar.stopIfTrue = false; // read back from its CFEx record
    bars.rules = {completed, bar};
    ConditionalFormat months;
    months.ranges = {rangeOf("I4", "AN5")};
    ConditionalRule change;
    change.formula = formula("MONTH(I6)<>MONTH(H6)");
    change.style.bold = true;
    change.style.fontColor = Color::fromRgb(0x7F1234);
    change.style.fill = Fill{FillPattern::None, Color{}};
    change.stopIfTrue = true;
    months.rules = {change};
    plan.conditionalFormats() = {bars, months};

    plan.view().showGridlines = false;
    plan.view().frozenColumns = 7;
    plan.view().frozenRows = 8;
    plan.view().activeCell = {9, 7};
    plan.view().selection = {rangeOf("H10", "J12")};
    plan.view().selected = true;
    plan.pageSetup() = {Orientation::Landscape, 1, 66, QString(), QStringLiteral("&CPage &P of &N"), PageMargins{}};
    plan.printAreas().printArea = {rangeOf("H10", "AN17")};
    plan.printAreas().titleColumns = CellRange{0, 0, kMaxRows - 1, 6};
    plan.printAreas().titleRows = CellRange{1, 0, 8, kMaxColumns - 1};
    plan.setDefaultRowHeight(15);

    setValue(version, "B2", QStringLiteral("Version"));
    setValue(version, "B3", 1.0);
    setValue(version, "C3", QStringLiteral("Initial Version:\nsix month view"));
    version.view().frozenRows = 2;
    version.view().showGridlines = true;
    version.printAreas().printArea = {rangeOf("A1", "C4"), rangeOf("E1", "F2")};
    version.pageSetup().paperSize = 9;
    version.pageSetup().header = QStringLiteral("&LVersion");
    version.setDefaultRowHeight(12.75);
    version.setDefaultColumnWidth(10);
    return book;
}

} // namespace orv::sheet::xls::testing
