#include "TemplateUnderTest.h"

#include <gtest/gtest.h>

namespace orv::chart::testing {
namespace {

using namespace sheet;

const char *const kWeekend = "OR(WEEKDAY(H$6)=7,WEEKDAY(H$6)=1)";
const char *const kEvent = "OR(AND(H$6>=$D$3,H$6<=$E$3),AND(H$6>=$D$4,H$6<=$E$4),AND(H$6>=$D$5,H$6<=$E$5),"
                           "AND(H$6>=$D$6,H$6<=$E$6),AND(H$6>=$D$7,H$6<=$E$7))";

// One rule as the tables of the template give it: the formula (relative to
// the area's top-left cell), the fill, the font colour and whether the look
// draws a frame.
struct ExpectedRule {
    const char *formula;
    QRgb fill;
    std::optional<QRgb> font = {};
    bool framed = false;
};
struct ExpectedArea {
    const char *name;
    const char *area;
    std::vector<ExpectedRule> rules;
};

const std::vector<ExpectedArea> &expectedAreas()
{
    static const std::vector<ExpectedArea> areas = {
        {"TaskRows",
         "H11:GU12",
         {{"AND($B11<>\"\",$F11>0,H$6>=$D11,H$6<=$D11+$F11*($E11-$D11))", 0xFFFF99, {}, true},
          {"AND(H$6>=$D11,H$6<=$E11,$B11<>\"\")", 0x33CCCC, {}, true},
          {"AND($C11<>\"\",$F11>0,H$6>=$D11,H$6<=$D11+$F11*($E11-$D11))", 0x00FF00, {}, true},
          {"AND(H$6>=$D11,H$6<=$E11,$C11<>\"\")", 0xCC99FF, {}, true},
          {kWeekend, 0xC0C0C0},
          {kEvent, 0xCCFFCC},
          {"H$6=TODAY()", 0xFF8080}}},
        {"DeliverableRow",
         "H10:GU10",
         {{"AND(H$6>=$D10,H$6<=$E10)", 0x333399, 0x000080},
          {kWeekend, 0xFFFF99, 0xFFFF99},
          {kEvent, 0x00FF00, 0x00FF00}}},
        {"DayDates", "H6:GU7", {{"H$6=TODAY()", 0xFF8080}, {"WEEKDAY(H$6)=2", 0x99CCFF}, {kWeekend, 0xFFFF99}}},
        {"TaskNames", "A11:C11", {{"AND(TODAY()>$D11+($E11-$D11)*$F11,$F11<1,$D11<>0)", 0xFF99CC, 0x993300}}},
    };
    return areas;
}

const ConditionalFormat *formatOn(const CellRange &range)
{
    for (const ConditionalFormat &format : projectPlan().conditionalFormats())
        if (format.ranges == std::vector<CellRange>{range})
            return &format;
    return nullptr;
}

class TemplateRules : public ::testing::TestWithParam<ExpectedArea> {};

TEST_P(TemplateRules, PaintTheirAreaInTheirOrderOfPrecedence)
{
    const ExpectedArea &expected = GetParam();
    const ConditionalFormat *format = formatOn(area(expected.area));
    ASSERT_NE(format, nullptr) << expected.area;
    ASSERT_EQ(format->rules.size(), expected.rules.size());
    for (size_t i = 0; i < expected.rules.size(); ++i) {
        const ConditionalRule &rule = format->rules[i];
        const ExpectedRule &want = expected.rules[i];
        SCOPED_TRACE(want.formula);
        ASSERT_NE(rule.formula, nullptr);
        EXPECT_EQ(printFormula(*rule.formula), QString::fromLatin1(want.formula));
        EXPECT_EQ(rule.style.fill, (Fill{FillPattern::Solid, rgb(want.fill)}));
        EXPECT_EQ(rule.style.fontColor, want.font ? std::optional(rgb(*want.font)) : std::nullopt);
        EXPECT_EQ(rule.style.borders.has_value(), want.framed);
        if (want.framed) {
            const Borders &frame = *rule.style.borders;
            for (const BorderLine &side : {frame.left, frame.right, frame.top, frame.bottom})
                EXPECT_NE(side.style, BorderStyle::None);
        }
        EXPECT_TRUE(rule.stopIfTrue) << "the first rule that holds decides";
    }
}

TEST_P(TemplateRules, GiveEveryLookOfTheAreaItsOwnColour)
{
    const ConditionalFormat *format = formatOn(area(GetParam().area));
    ASSERT_NE(format, nullptr);
    std::vector<QRgb> fills;
    for (const ConditionalRule &rule : format->rules)
        fills.push_back(rule.style.fill ? rule.style.fill->color.rgb : 0);
    std::sort(fills.begin(), fills.end());
    EXPECT_EQ(std::adjacent_find(fills.begin(), fills.end()), fills.end());
}

INSTANTIATE_TEST_SUITE_P(Areas, TemplateRules, ::testing::ValuesIn(expectedAreas()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TemplateMonthRule, MarksTheMonthChangeWithALeftBorder)
{
    const ConditionalFormat *format = formatOn(area("H4:GU5"));
    ASSERT_NE(format, nullptr);
    ASSERT_EQ(format->rules.size(), 1u);
    EXPECT_EQ(printFormula(*format->rules[0].formula), QStringLiteral("MONTH(H$6)<>MONTH(G$6)"));
    const ConditionalStyle &style = format->rules[0].style;
    ASSERT_TRUE(style.borders.has_value());
    EXPECT_NE(style.borders->left.style, BorderStyle::None);
    EXPECT_FALSE(style.fill.has_value());
}

// One conditional format per area: a later block of rules on the same cells
// would hide the earlier ones in Gnumeric.
TEST(TemplateRuleAreas, DoNotOverlap)
{
    const auto &formats = projectPlan().conditionalFormats();
    EXPECT_EQ(formats.size(), 5u);
    for (size_t i = 0; i < formats.size(); ++i)
        for (size_t j = i + 1; j < formats.size(); ++j)
            for (const CellRange &a : formats[i].ranges)
                for (const CellRange &b : formats[j].ranges)
                    EXPECT_FALSE(a.intersects(b)) << i << " and " << j;
}

} // namespace
} // namespace orv::chart::testing
