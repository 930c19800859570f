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

void addFormat(Sheet &sheet, const CellRange &area, const std::vector<Rule> &rules)
{
    ConditionalFormat format;
    format.ranges = {area};
    for (const Rule &rule : rules)
        format.rules.push_back(ConditionalRule{parseFormula(rule.formula), rule.style, true});
    sheet.conditionalFormats().push_back(std::move(format));
}

} // namespace

void addProjectPlanRules(Sheet &plan)
{
    using namespace layout;
    addFormat(plan, calendarRows(kFirstTaskRow, kSpacerRow), taskRowRules());
    addFormat(plan, calendarRows(kBlockRow, kBlockRow), deliverableRules());
    addFormat(plan, calendarRows(kMonthRow, kMonthRow + 1), monthLabelRules());
    addFormat(plan, calendarRows(kDateRow, kDateRow + 1), dayDateRules());
    addFormat(plan, CellRange{kFirstTaskRow - 1, 0, kFirstTaskRow - 1, kSubTaskColumn - 1}, behindPlanRules());
}

} // namespace orv::chart
