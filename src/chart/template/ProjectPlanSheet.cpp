#include "chart/template/TemplateParts.h"

#include "chart/template/ChartLayout.h"
#include "chart/template/TemplateColors.h"
#include "sheet/formula/FormulaPrinter.h"

namespace orv::chart {

using namespace sheet;

namespace {

using layout::calendarRows;

// The calendar's first column, 0-based.
constexpr int kFirstDay = layout::kFirstDayColumn - 1;

// The calendar's last column, 0-based.
int lastDay(const CalendarShape &shape) { return shape.lastColumn() - 1; }

Fill solid(Color color) { return {FillPattern::Solid, color}; }

CellFormat whiteOnIndigo(bool bold = false)
{
    CellFormat format;
    format.font.color = colors::White;
    format.font.bold = bold;
    format.fill = solid(colors::Indigo);
    return format;
}

CellFormat withNumberFormat(CellFormat format, const QString &numberFormat)
{
    format.numberFormat = numberFormat;
    return format;
}

CellFormat dateEntry()
{
    CellFormat format;
    format.numberFormat = QStringLiteral("m/d;@");
    format.fill = solid(colors::Tan);
    return format;
}

// A month's short name is wider than a two-character column, and a number
// that does not fit shows as "###" (it never spills into the next cells):
// the name shrinks to the column's width.
Alignment shrunkToColumn()
{
    Alignment alignment;
    alignment.horizontal = HorizontalAlignment::Center;
    alignment.vertical = VerticalAlignment::Center;
    alignment.shrinkToFit = true;
    return alignment;
}

// A day's date such as 12/31, shrunk to a two-character column, would be a
// few pixels high. Turned upright it runs along the two merged rows, which
// are high enough for it at full size. It is turned 89 degrees rather than
// 90: LibreOffice measures a number turned exactly 90 degrees as if it were
// not turned as soon as a conditional format applies to its cell, and then
// shows "###" on every weekend, Monday and today.
Alignment upright()
{
    Alignment alignment;
    alignment.horizontal = HorizontalAlignment::Center;
    alignment.vertical = VerticalAlignment::Center;
    alignment.rotation = 89;
    return alignment;
}

void setSizes(Sheet &sheet, const CalendarShape &shape)
{
    const std::pair<int, double> widths[] = {{0, 1.375}, {1, 2.125}, {2, 25.875}, {3, 5.75}, {4, 5.75}, {6, 0.75}};
    for (const auto &[column, width] : widths)
        sheet.setColumnInfo(column, ColumnInfo{width});
    for (int column = kFirstDay; column <= lastDay(shape); ++column)
        sheet.setColumnInfo(column, ColumnInfo{2.0});

    const double heights[] = {7.5, 18.75, 15, 15, 15, 15, 15, 3.75, 14.25, 15, 14.25, 6.75, 7.5};
    for (int row = 0; row < static_cast<int>(std::size(heights)); ++row)
        sheet.setRowInfo(row, fixedHeight(heights[row]));
}

void writeSpecialEvents(TemplateSheet &plan)
{
    plan.setText(cellAt(u"B2"), QStringLiteral("Special Events"), whiteOnIndigo());
    plan.applyFormat(rangeAt(u"C2"), whiteOnIndigo());
    plan.merge(rangeAt(u"B2:C2"));
    plan.setText(cellAt(u"D2"), QStringLiteral("Start"), whiteOnIndigo());
    plan.setText(cellAt(u"E2"), QStringLiteral("End"), whiteOnIndigo());

    CellFormat eventName;
    eventName.font.bold = true;
    for (int row = 2; row <= 6; ++row) {
        plan.applyFormat({row, 1, row, 2}, eventName);
        plan.merge({row, 1, row, 2});
        plan.applyFormat({row, 3, row, 4}, dateEntry());
    }
}

void writeTitle(TemplateSheet &plan, const CalendarShape &shape)
{
    CellFormat title = whiteOnIndigo();
    title.font.size = 14;
    title.alignment.horizontal = HorizontalAlignment::Center;
    title.alignment.vertical = VerticalAlignment::Center;
    const CellRange area = calendarRows(2, 3, shape.lastColumn());
    plan.applyFormat(area, title);
    plan.setText(area.topLeft(), QStringLiteral("Project Plan Template"), title);
    plan.merge(area);
}

// The first period's start, from the earliest date of the events and the
// first plan rows: that day, but at most 30 days before today, at the day
// scale; the Monday on or before it, or its month's first day. A plan
// without dates starts the week calendar on day 1 rather than before the
// first date there is, where an undated task (0 to 0) would overlap it.
QString firstPeriodFormula(CalendarScale scale)
{
    switch (scale) {
    case CalendarScale::Days: return QStringLiteral("=MAX(MIN(D3:E15),TODAY()-30)");
    case CalendarScale::Weeks: return QStringLiteral("=MAX(1,MIN(D3:E15)-WEEKDAY(MIN(D3:E15),3))");
    case CalendarScale::Months: return QStringLiteral("=DATE(YEAR(MIN(D3:E15)),MONTH(MIN(D3:E15)),1)");
    }
    return {};
}

// The start of the period after the one in cell `before`.
QString nextPeriodFormula(CalendarScale scale, const QString &before)
{
    switch (scale) {
    case CalendarScale::Days: return "=" + before + "+1";
    case CalendarScale::Weeks: return "=" + before + "+7";
    case CalendarScale::Months: return "=DATE(YEAR(" + before + "),MONTH(" + before + ")+1,1)";
    }
    return {};
}

// Rows 4-5 name the month (the year, at the month scale) in its first
// column, rows 6-7 hold each period's first day.
void writeCalendar(TemplateSheet &plan, const CalendarShape &shape)
{
    const bool months = shape.scale == CalendarScale::Months;

    CellFormat month;
    month.font.bold = true;
    month.font.size = 12;
    month.font.color = colors::White;
    month.fill = solid(colors::OliveGreen);
    month.alignment = shrunkToColumn();
    month.numberFormat = months ? QStringLiteral("yyyy") : QStringLiteral("mmm");
    const QString labelPart = months ? QStringLiteral("YEAR(") : QStringLiteral("MONTH(");

    CellFormat day;
    day.font.size = 10;
    day.alignment = upright();
    day.numberFormat = months ? QStringLiteral("mmm") : QStringLiteral("m/d");

    for (int column = kFirstDay; column <= lastDay(shape); ++column) {
        const QString here = columnName(column);
        const QString before = columnName(column == kFirstDay ? layout::kEndColumn - 1 : column - 1);
        const QString date = QString::number(layout::kDateRow);
        const CellRange label{layout::kMonthRow - 1, column, layout::kMonthRow, column};
        plan.applyFormat(label, month);
        // A week or month calendar names its first period's month or year
        // outright: the cell left of it is an event's end date, mostly
        // empty, and the applications disagree on the month of an empty
        // cell (January here, December in LibreOffice and Gnumeric).
        const bool named = column == kFirstDay && shape.scale != CalendarScale::Days;
        plan.setFormula(label.topLeft(),
                        named ? "=" + here + date
                              : "=IF(" + labelPart + here + date + ")<>" + labelPart + before + date + ")," + here +
                                    date + ",\"\")",
                        month);
        plan.merge(label);

        const CellRange dayCells{layout::kDateRow - 1, column, layout::kDateRow, column};
        plan.applyFormat(dayCells, day);
        plan.setFormula(dayCells.topLeft(),
                        column == kFirstDay ? firstPeriodFormula(shape.scale)
                                            : nextPeriodFormula(shape.scale, before + date),
                        day);
        plan.merge(dayCells);
    }
}

void writeHeadings(TemplateSheet &plan)
{
    plan.setText(cellAt(u"D9"), QStringLiteral("Start"), whiteOnIndigo());
    plan.setText(cellAt(u"E9"), QStringLiteral("End"), whiteOnIndigo());
    plan.setText(cellAt(u"F9"), QStringLiteral("% Compl."), whiteOnIndigo());
}

// The day chart prints to column GH, a little short of its calendar's end;
// a week or month chart to its plan's last column.
int lastPrintedColumn(const CalendarShape &shape)
{
    return shape.scale == CalendarScale::Days ? layout::kLastPrintedColumn : shape.lastColumn();
}

// The deliverable block the chart builder copies: the deliverable row 10,
// the task row 11, the spacer row 12 and the gap row 13. In the calendar of
// rows 10 to 12 a 1-point font lets only the fills show. It is the calendar
// columns' own format, so the plan rows need no cells to carry it; the
// calendar's title, months and days above the plan have their own formats.
//
// LibreOffice leaves a page out of print when no cell of it holds a value,
// however its cells are filled, and the print area is all calendar. So a
// calendar cell in every 28, and the last printed one, holds a 0 that its
// number format hides: a printed page holds some 45 calendar columns, and
// the last page, however narrow, ends at the last printed column.
void writePlanBlock(TemplateSheet &plan, const CalendarShape &shape)
{
    const CellFormat deliverable = whiteOnIndigo(true);
    plan.applyFormat(rangeAt(u"A10:F10"), deliverable);
    plan.setText(cellAt(u"A10"), QStringLiteral("Project Deliverable 1"), deliverable);
    plan.merge(rangeAt(u"A10:C10"));
    const CellFormat deliverableDate = withNumberFormat(deliverable, QStringLiteral("m/d;@"));
    plan.setFormula(cellAt(u"D10"), QStringLiteral("=MIN(D11:D12)"), deliverableDate);
    plan.setFormula(cellAt(u"E10"), QStringLiteral("=MAX(E11:E12)"), deliverableDate);

    plan.applyFormat(rangeAt(u"D11:E11"), dateEntry());
    plan.applyFormat(rangeAt(u"F11"), withNumberFormat(dateEntry(), QStringLiteral("0%")));

    CellFormat spacer;
    spacer.fill = solid(colors::White);
    plan.applyFormat(rangeAt(u"A12:F12"), spacer);

    CellFormat tiny;
    tiny.font.size = 1;
    tiny.numberFormat = QStringLiteral(";;;");
    constexpr int kValueEvery = 28;
    const CellRange calendar = calendarRows(layout::kBlockRow, layout::kSpacerRow, shape.lastColumn());
    for (int column = calendar.firstColumn; column <= calendar.lastColumn; ++column)
        plan.applyColumnFormat(column, tiny);
    for (int row = calendar.firstRow; row <= calendar.lastRow; ++row) {
        for (int column = calendar.firstColumn; column <= calendar.lastColumn; column += kValueEvery)
            plan.setNumber({row, column}, 0, tiny);
        plan.setNumber({row, lastPrintedColumn(shape) - 1}, 0, tiny);
    }
}

void setViewAndPrint(Sheet &sheet, const CalendarShape &shape)
{
    SheetView &view = sheet.view();
    view.showGridlines = false;
    view.frozenColumns = layout::kGapColumn;
    view.frozenRows = layout::kLastFrozenRow;
    view.activeCell = cellAt(u"B2");
    view.selected = true;

    PageSetup &page = sheet.pageSetup();
    page.orientation = Orientation::Landscape;
    page.paperSize = 1;
    page.scale = 66;
    page.footer = QStringLiteral("&CPage &P of &N");

    PrintAreas &print = sheet.printAreas();
    print.printArea = {
        CellRange{layout::kBlockRow - 1, kFirstDay, layout::kLastPrintedRow - 1, lastPrintedColumn(shape) - 1}};
    print.titleColumns = CellRange{0, 0, kMaxRows - 1, layout::kGapColumn - 1};
    print.titleRows = CellRange{1, 0, layout::kHeadingRow - 1, kMaxColumns - 1};
}

} // namespace

void buildProjectPlanSheet(TemplateSheet &plan, const CalendarShape &shape)
{
    setSizes(plan.sheet(), shape);
    writeSpecialEvents(plan);
    writeTitle(plan, shape);
    writeCalendar(plan, shape);
    writeHeadings(plan);
    writePlanBlock(plan, shape);
    setViewAndPrint(plan.sheet(), shape);
}

} // namespace orv::chart
