#include "chart/template/ChartLayout.h"
#include "chart/template/TemplateColors.h"
#include "chart/template/TemplateParts.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/FormulaPrinter.h"

namespace orv::chart {

using namespace sheet;

namespace {

// Each area keeps all its rules in one conditional format, in their order of
// precedence; the first rule that holds decides. The 97-2003 file then holds one block per area: LibreOffice
// and Gnumeric read every rule of a block in order, whereas Gnumeric keeps
// only the last of several blocks on the same cells.
struct Rule {
    QString formula; // relative references as seen from the area's top-left cell
    ConditionalStyle style;
};

ConditionalStyle filled(Color fill)
{
    ConditionalStyle style;
    style.fill = Fill{FillPattern::Solid, fill};
    return style;
}

// A bar: the fill with a thin frame around every day.
ConditionalStyle bar(Color fill)
{
    ConditionalStyle style = filled(fill);
    const BorderLine line{BorderStyle::Thin, colors::Black};
    style.borders = Borders{line, line, line, line};
    return style;
}

// In the 1-point calendar cells of the deliverable row the font takes the
// fill's colour too.
ConditionalStyle filledWithFont(Color fill, Color font)
{
    ConditionalStyle style = filled(fill);
    style.fontColor = font;
    return style;
}

// The day of a calendar cell is the date in the date row of its column, as
// seen from the calendar's first column; the day before is the column left of it.
QString dayOf(int column) { return columnName(column - 1) + "$" + QString::number(layout::kDateRow); }
QString day() { return dayOf(layout::kFirstDayColumn); }

// A rule's formula with "%1" for the day.
QString onDay(const char *formula) { return QString::fromLatin1(formula).replace(QStringLiteral("%1"), day()); }

QString weekend() { return onDay("OR(WEEKDAY(%1)=7,WEEKDAY(%1)=1)"); }
QString duringEvent()
{
    return onDay("OR(AND(%1>=$D$3,%1<=$E$3),AND(%1>=$D$4,%1<=$E$4),AND(%1>=$D$5,%1<=$E$5),"
                 "AND(%1>=$D$6,%1<=$E$6),AND(%1>=$D$7,%1<=$E$7))");
}
QString isToday() { return onDay("%1=TODAY()"); }

std::vector<Rule> taskRowRules()
{
    const QString completed = onDay(",$F11>0,%1>=$D11,%1<=$D11+$F11*($E11-$D11))");
    return {
        {"AND($B11<>\"\"" + completed, bar(colors::LightYellow)},
        {onDay("AND(%1>=$D11,%1<=$E11,$B11<>\"\")"), bar(colors::Aqua)},
        {"AND($C11<>\"\"" + completed, bar(colors::BrightGreen)},
        {onDay("AND(%1>=$D11,%1<=$E11,$C11<>\"\")"), bar(colors::Lavender)},
        {weekend(), filled(colors::Gray25)},
        {duringEvent(), filled(colors::LightGreen)},
        {isToday(), filled(colors::Coral)},
    };
}

std::vector<Rule> deliverableRules()
{
    return {
        {onDay("AND(%1>=$D10,%1<=$E10)"), filledWithFont(colors::Indigo, colors::Navy)},
        {weekend(), filledWithFont(colors::LightYellow, colors::LightYellow)},
        {duringEvent(), filledWithFont(colors::BrightGreen, colors::BrightGreen)},
    };
}

std::vector<Rule> monthLabelRules()
{
    ConditionalStyle monthChange;
    monthChange.borders = Borders{BorderLine{BorderStyle::Medium, colors::White}, {}, {}, {}};
    return {{"MONTH(" + day() + ")<>MONTH(" + dayOf(layout::kFirstDayColumn - 1) + ")", monthChange}};
}

std::vector<Rule> dayDateRules()
{
    return {
        {isToday(), filled(colors::Coral)},
        {onDay("WEEKDAY(%1)=2"), filled(colors::PaleBlue)},
        {weekend(), filled(colors::LightYellow)},
    };
}

std::vector<Rule> behindPlanRules()
{
    ConditionalStyle behind = filled(colors::Rose);
    behind.fontColor = colors::Brown;
    return {{QStringLiteral("AND(TODAY()>$D11+($E11-$D11)*$F11,$F11<1,$D11<>0)"), behind}};
}

// At the week and month scales a column stands for a period from its date
// row's day to the period's last day ("%2"): a bar, an event or today shows
// in every column whose period overlaps it.
QString periodEnd(CalendarScale scale)
{
    return scale == CalendarScale::Weeks ? day() + "+6"
                                         : "DATE(YEAR(" + day() + "),MONTH(" + day() + ")+1,0)";
}

// A rule's formula with "%1" for the period's first day and "%2" for its last.
QString inPeriod(CalendarScale scale, const char *formula)
{
    return onDay(formula).replace(QStringLiteral("%2"), periodEnd(scale));
}

QString periodHoldsEvent(CalendarScale scale)
{
    return inPeriod(scale, "OR(AND(%1<=$E$3,%2>=$D$3),AND(%1<=$E$4,%2>=$D$4),AND(%1<=$E$5,%2>=$D$5),"
                           "AND(%1<=$E$6,%2>=$D$6),AND(%1<=$E$7,%2>=$D$7))");
}
QString periodHoldsToday(CalendarScale scale) { return inPeriod(scale, "AND(TODAY()>=%1,TODAY()<=%2)"); }

// The completed part covers the periods that overlap the task and start on
// or before D + F * (E - D); weekends are shaded only at the day scale.
std::vector<Rule> periodTaskRowRules(CalendarScale scale)
{
    const QString completed = inPeriod(scale, ",$F11>0,%2>=$D11,%1<=$D11+$F11*($E11-$D11))");
    return {
        {"AND($B11<>\"\"" + completed, bar(colors::LightYellow)},
        {inPeriod(scale, "AND(%1<=$E11,%2>=$D11,$B11<>\"\")"), bar(colors::Aqua)},
        {"AND($C11<>\"\"" + completed, bar(colors::BrightGreen)},
        {inPeriod(scale, "AND(%1<=$E11,%2>=$D11,$C11<>\"\")"), bar(colors::Lavender)},
        {periodHoldsEvent(scale), filled(colors::LightGreen)},
        {periodHoldsToday(scale), filled(colors::Coral)},
    };
}

std::vector<Rule> periodDeliverableRules(CalendarScale scale)
{
    return {
        {inPeriod(scale, "AND(%1<=$E10,%2>=$D10)"), filledWithFont(colors::Indigo, colors::Navy)},
        {periodHoldsEvent(scale), filledWithFont(colors::BrightGreen, colors::BrightGreen)},
    };
}

// Month labels head days and weeks, year labels head months.
std::vector<Rule> periodLabelRules(CalendarScale scale)
{
    if (scale != CalendarScale::Months)
        return monthLabelRules();
    ConditionalStyle yearChange;
    yearChange.borders = Borders{BorderLine{BorderStyle::Medium, colors::White}, {}, {}, {}};
    return {{"YEAR(" + day() + ")<>YEAR(" + dayOf(layout::kFirstDayColumn - 1) + ")", yearChange}};
}

void addFormat(Sheet &sheet, const CellRange &area, const std::vector<Rule> &rules)
{
    ConditionalFormat format;
    format.ranges = {area};
    for (const Rule &rule : rules)
        format.rules.push_back(ConditionalRule{parseFormula(rule.formula), rule.style, true});
    sheet.conditionalFormats().push_back(std::move(format));
}

} // namespace

void addProjectPlanRules(Sheet &plan, const CalendarShape &shape)
{
    using namespace layout;
    const int last = shape.lastColumn();
    if (shape.scale == CalendarScale::Days) {
        addFormat(plan, calendarRows(kFirstTaskRow, kSpacerRow), taskRowRules());
        addFormat(plan, calendarRows(kBlockRow, kBlockRow), deliverableRules());
        addFormat(plan, calendarRows(kMonthRow, kMonthRow + 1), monthLabelRules());
        addFormat(plan, calendarRows(kDateRow, kDateRow + 1), dayDateRules());
    } else {
        addFormat(plan, calendarRows(kFirstTaskRow, kSpacerRow, last), periodTaskRowRules(shape.scale));
        addFormat(plan, calendarRows(kBlockRow, kBlockRow, last), periodDeliverableRules(shape.scale));
        addFormat(plan, calendarRows(kMonthRow, kMonthRow + 1, last), periodLabelRules(shape.scale));
        addFormat(plan, calendarRows(kDateRow, kDateRow + 1, last),
                  {{periodHoldsToday(shape.scale), filled(colors::Coral)}});
    }
    addFormat(plan, CellRange{kFirstTaskRow - 1, 0, kFirstTaskRow - 1, kSubTaskColumn - 1}, behindPlanRules());
}

} // namespace orv::chart
