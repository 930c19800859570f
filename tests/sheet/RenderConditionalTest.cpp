#include "NumberedRules.h"
#include "RenderTestSheet.h"

#include "sheet/formula/Evaluator.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/render/FormulaRules.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace orv::sheet {
namespace {

using sheet::test::RenderTestSheet;
using test::numberedRule;
using test::solidFill;

// Rules are told apart by the number their formula holds; the test decides
// for which rows each rule holds.
class RenderConditionalFormats : public RenderTestSheet, public ::testing::Test {
protected:
    RenderConditionalFormats() { put({3, 2}, QStringLiteral("")); }

    static ConditionalStyle border(QRgb rgb)
    {
        ConditionalStyle style;
        Borders borders;
        borders.left = {BorderStyle::Thick, Color::fromRgb(rgb)};
        style.borders = borders;
        return style;
    }
    RenderOptions holdingIn(std::map<int, std::set<int>> rowsByRule)
    {
        RenderOptions options;
        options.ruleHolds = [rowsByRule, this](const Sheet &, const ConditionalFormat &, const ConditionalRule &rule,
                                               CellAddress at) {
            ++tests;
            const auto found = rowsByRule.find(int(rule.formula->number));
            return found != rowsByRule.end() && found->second.count(at.row) > 0;
        };
        return options;
    }
    QColor fillOf(const QImage &image, int row) { return centre(image, cellRect(range, {row, 1})); }
    QColor leftEdgeOf(const QImage &image, int row)
    {
        const QRect cell = cellRect(range, {row, 1});
        return image.pixelColor(cell.left(), cell.center().y());
    }

    const CellRange range{0, 0, 3, 2};
    int tests = 0;
};

TEST_F(RenderConditionalFormats, TheFirstHoldingRuleOfAFormatDecides)
{
    sheet.conditionalFormats().push_back(
        {{{0, 1, 3, 1}}, {numberedRule(1, solidFill(0xFF0000)), numberedRule(2, solidFill(0x00FF00))}});
    put({2, 1}, {}, test::filled(0x0000FF));
    const QImage image = render(range, holdingIn({{1, {0}}, {2, {0, 1}}}));
    EXPECT_EQ(fillOf(image, 0), QColor(0xFF0000));
    EXPECT_EQ(fillOf(image, 1), QColor(0x00FF00));
    EXPECT_EQ(fillOf(image, 2), QColor(0x0000FF)); // no rule holds: the cell's own fill
    EXPECT_EQ(fillOf(image, 3), QColor(Qt::white));
    EXPECT_EQ(centre(image, cellRect(range, {0, 0})), QColor(Qt::white)); // outside the format's range
}

TEST_F(RenderConditionalFormats, EarlierFormatsWinPropertyByProperty)
{
    ConditionalStyle both = solidFill(0x0000FF);
    both.borders = border(0x800080).borders;
    sheet.conditionalFormats().push_back({{{0, 1, 3, 1}}, {numberedRule(1, solidFill(0xFF0000))}});
    sheet.conditionalFormats().push_back({{{0, 1, 3, 1}}, {numberedRule(2, both)}});
    const QImage image = render(range, holdingIn({{1, {0, 1}}, {2, {1, 2}}}));
    EXPECT_EQ(fillOf(image, 0), QColor(0xFF0000));
    EXPECT_EQ(leftEdgeOf(image, 0), QColor(0xFF0000)); // no border: the second format does not hold
    EXPECT_EQ(fillOf(image, 1), QColor(0xFF0000));     // the earlier format's fill wins
    EXPECT_EQ(leftEdgeOf(image, 1), QColor(0x800080)); // the later format still adds its border
    EXPECT_EQ(fillOf(image, 2), QColor(0x0000FF));
}

TEST_F(RenderConditionalFormats, AStoppingRuleLetsNoLaterFormatIn)
{
    sheet.conditionalFormats().push_back({{{0, 1, 3, 1}}, {numberedRule(1, solidFill(0xFF0000), true)}});
    sheet.conditionalFormats().push_back({{{0, 1, 3, 1}}, {numberedRule(2, border(0x800080))}});
    const QImage image = render(range, holdingIn({{1, {0}}, {2, {0, 1}}}));
    EXPECT_EQ(leftEdgeOf(image, 0), QColor(0xFF0000));
    EXPECT_EQ(leftEdgeOf(image, 1), QColor(0x800080));
}

TEST_F(RenderConditionalFormats, ChangeTheFontOverTheCellsOwn)
{
    CellFormat own;
    own.font.color = Color::fromRgb(0x0000FF);
    own.numberFormat = QStringLiteral("0;[Red]0");
    put({0, 1}, -88.0, own);
    ConditionalStyle style;
    style.fontColor = Color::fromRgb(0x00C000);
    style.bold = true;
    sheet.conditionalFormats().push_back({{{0, 1, 0, 1}}, {numberedRule(1, style)}});
    const QImage image = render(range, holdingIn({{1, {0}}}));
    const QRect cell = cellRect(range, {0, 1});
    int green = 0, other = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel == QColor(Qt::white))
                continue;
            (pixel.green() > pixel.red() && pixel.green() > pixel.blue() ? green : other) += 1;
        }
    }
    EXPECT_GT(green, 10);
    EXPECT_EQ(other, 0);
}

TEST_F(RenderConditionalFormats, KeepTheNumberFormatsColourWhenTheySetNoColour)
{
    CellFormat own;
    own.numberFormat = QStringLiteral("0;[Red]0");
    put({0, 1}, -88.0, own);
    ConditionalStyle bold;
    bold.bold = true;
    sheet.conditionalFormats().push_back({{{0, 1, 0, 1}}, {numberedRule(1, bold)}});
    const QImage image = render(range, holdingIn({{1, {0}}}));
    const QRect cell = cellRect(range, {0, 1});
    int red = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            red += image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 120 ? 1 : 0;
    EXPECT_GT(red, 10);
}

TEST_F(RenderConditionalFormats, MergedCellsTakeTheTopLeftCellsLook)
{
    sheet.mergedRanges().push_back({0, 1, 1, 1});
    sheet.conditionalFormats().push_back({{{0, 1, 3, 1}}, {numberedRule(1, solidFill(0xFF8080))}});
    const QImage image = render(range, holdingIn({{1, {0}}}));
    EXPECT_EQ(fillOf(image, 0), QColor(0xFF8080));
    EXPECT_EQ(fillOf(image, 1), QColor(0xFF8080));
    EXPECT_EQ(fillOf(image, 2), QColor(Qt::white));
}

TEST_F(RenderConditionalFormats, AreNotEvaluatedOutsideTheirRanges)
{
    sheet.conditionalFormats().push_back({{{1, 1, 1, 1}}, {numberedRule(1, solidFill(0xFF0000))}});
    render(range, holdingIn({{1, {0, 1, 2, 3}}}));
    EXPECT_EQ(tests, 1);
}

// Rules written for the format's first cell move with the cell tested.
TEST_F(RenderConditionalFormats, FormulaRulesAreEvaluatedForEachCell)
{
    for (int column = 0; column < 3; ++column)
        put({0, column}, 45365.0 + column); // 3/14 to 3/16/2024; the clock says 3/15
    auto formulaRule = [](const char *text, QRgb rgb) {
        return ConditionalRule{parseFormula(QString::fromLatin1(text)), solidFill(rgb), false};
    };
    sheet.conditionalFormats().push_back({{{1, 0, 1, 2}}, {formulaRule("A$1=TODAY()", 0xFF8080)}});
    sheet.conditionalFormats().push_back({{{1, 0, 2, 2}}, {formulaRule("A1>45365", 0x33CCCC)}});
    const orv::test::FixedClock clock;
    const Evaluator evaluator(workbook, clock);
    RenderOptions options;
    options.ruleHolds = formulaRules(evaluator);
    const CellRange all{0, 0, 3, 2};
    const QImage image = render(all, options);
    EXPECT_EQ(centre(image, cellRect(all, {1, 0})), QColor(Qt::white));
    EXPECT_EQ(centre(image, cellRect(all, {1, 1})), QColor(0xFF8080));
    EXPECT_EQ(centre(image, cellRect(all, {1, 2})), QColor(0x33CCCC));
    EXPECT_EQ(centre(image, cellRect(all, {2, 2})), QColor(Qt::white));
}

} // namespace
} // namespace orv::sheet
