#include "chart/template/TemplateColors.h"
#include "chart/template/TemplateParts.h"
#include "sheet/formula/FormulaParser.h"

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

// The day of a calendar cell is the date in row 6 of its column.
const QString weekend = QStringLiteral("OR(WEEKDAY(H$6)=7,WEEKDAY(H$6)=1)");
const QString duringEvent = QStringLiteral("OR(AND(H$6>=$D$3,H$6<=$E$3),AND(H$6>=$D$4,H$6<=$E$4),"
                                           "AND(H$6>=$D$5,H$6<=$E$5),AND(H$6>=$D$6,H$6<=$E$6),"
                                           "AND(H$6>=$D$7,H$6<=$E$7))");
const QString isToday = QStringLiteral("H$6=TODAY()");

std::vector<Rule> taskRowRules()
{
    const QString completed = QStringLiteral(",$F11>0,H$6>=$D11,H$6<=$D11+$F11*($E11-$D11))");
    return {
        {"AND($B11<>\"\"" + completed, bar(colors::LightYellow)},
        {QStringLiteral("AND(H$6>=$D11,H$6<=$E11,$B11<>\"\")"), bar(colors::Aqua)},
        {"AND($C11<>\"\"" + completed, bar(colors::BrightGreen)},
        {QStringLiteral("AND(H$6>=$D11,H$6<=$E11,$C11<>\"\")"), bar(colors::Lavender)},
        {weekend, filled(colors::Gray25)},
        {duringEvent, filled(colors::LightGreen)},
        {isToday, filled(colors::Coral)},
    };
}

std::vector<Rule> deliverableRules()
{
    return {
        {QStringLiteral("AND(H$6>=$D10,H$6<=$E10)"), filledWithFont(colors::Indigo, colors::Navy)},
        {weekend, filledWithFont(colors::LightYellow, colors::LightYellow)},
        {duringEvent, filledWithFont(colors::BrightGreen, colors::BrightGreen)},
    };
}

std::vector<Rule> monthLabelRules()
{
    ConditionalStyle monthChange;
    monthChange.borders = Borders{BorderLine{BorderStyle::Medium, colors::White}, {}, {}, {}};
    return {{QStringLiteral("MONTH(H$6)<>MONTH(G$6)"), monthChange}};
}

std::vector<Rule> dayDateRules()
{
    return {
        {isToday, filled(colors::Coral)},
        {QStringLiteral("WEEKDAY(H$6)=2"), filled(colors::PaleBlue)},
        {weekend, filled(colors::LightYellow)},
    };
}

std::vector<Rule> behindPlanRules()
{
    ConditionalStyle behind = filled(colors::Rose);
    behind.fontColor = colors::Brown;
    return {{QStringLiteral("AND(TODAY()>$D11+($E11-$D11)*$F11,$F11<1,$D11<>0)"), behind}};
}

void addFormat(Sheet &sheet, QStringView area, const std::vector<Rule> &rules)
{
    ConditionalFormat format;
    format.ranges = {rangeAt(area)};
    for (const Rule &rule : rules)
        format.rules.push_back(ConditionalRule{parseFormula(rule.formula), rule.style, true});
    sheet.conditionalFormats().push_back(std::move(format));
}

} // namespace

void addProjectPlanRules(Sheet &plan)
{
    addFormat(plan, u"H11:GU12", taskRowRules());
    addFormat(plan, u"H10:GU10", deliverableRules());
    addFormat(plan, u"H4:GU5", monthLabelRules());
    addFormat(plan, u"H6:GU7", dayDateRules());
    addFormat(plan, u"A11:C11", behindPlanRules());
}

} // namespace orv::chart
