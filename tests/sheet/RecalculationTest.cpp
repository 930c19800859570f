#include "Printers.h"
#include "sheet/formula/ConditionalStyling.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/model/Workbook.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

class Recalculation : public ::testing::Test {
protected:
    void set(Sheet &sheet, CellAddress at, const char *formula)
    {
        sheet.cellAt(at).formula = parseFormula(QString::fromUtf8(formula));
    }
    Value valueAt(const Sheet &sheet, CellAddress at) const { return sheet.cell(at)->value; }

    Workbook workbook;
    Sheet &first = workbook.addSheet(QStringLiteral("First"));
    Sheet &second = workbook.addSheet(QStringLiteral("Second"));
    test::FixedClock clock{QDateTime(QDate(2024, 3, 15), QTime(12, 0))};
};

TEST_F(Recalculation, ComputesInDependencyOrderWhateverTheCellOrder)
{
    set(first, {0, 0}, "=A2+1");
    set(first, {1, 0}, "=A3*2");
    set(first, {2, 0}, "=Second!B5");
    set(second, {4, 1}, "=SUM(First!C1:C3)");
    first.cellAt({0, 2}).value = 1.0;
    set(first, {2, 2}, "=C1+1");
    set(first, {3, 0}, "=SUM(A1:A3)");
    set(first, {4, 0}, "=SUM(A1:A2:A3)");
    recalculate(workbook, clock);
    EXPECT_EQ(valueAt(second, {4, 1}), Value(3.0));
    EXPECT_EQ(valueAt(first, {2, 0}), Value(3.0));
    EXPECT_EQ(valueAt(first, {1, 0}), Value(6.0));
    EXPECT_EQ(valueAt(first, {0, 0}), Value(7.0));
    EXPECT_EQ(valueAt(first, {3, 0}), Value(16.0));
    EXPECT_EQ(valueAt(first, {4, 0}), Value(16.0));
}

TEST_F(Recalculation, GivesCircularReferencesAnErrorInsteadOfHanging)
{
    set(first, {0, 0}, "=B1+1");
    set(first, {0, 1}, "=A1+1");
    set(first, {1, 0}, "=A2");
    set(first, {2, 0}, "=SUM(A3:A4)");
    set(first, {3, 0}, "=A1*2");
    set(first, {4, 0}, "=5");
    recalculate(workbook, clock);
    for (const CellAddress at : {CellAddress{0, 0}, {0, 1}, {1, 0}, {2, 0}, {3, 0}})
        EXPECT_EQ(valueAt(first, at), Value(ErrorCode::Value)) << at.row << "," << at.column;
    EXPECT_EQ(valueAt(first, {4, 0}), Value(5.0));
}

TEST_F(Recalculation, ReadsTheInjectedClock)
{
    set(first, {0, 0}, "=MAX(MIN(D3:E15),TODAY()-30)");
    set(first, {0, 1}, "=A1+1");
    recalculate(workbook, clock);
    EXPECT_EQ(valueAt(first, {0, 0}), Value(45336.0)) << "no dates: 30 days before today";
    clock.at = QDateTime(QDate(2024, 3, 16), QTime(0, 0));
    first.cellAt({4, 3}).value = 45400.0;
    recalculate(workbook, clock);
    EXPECT_EQ(valueAt(first, {0, 0}), Value(45400.0));
    EXPECT_EQ(valueAt(first, {0, 1}), Value(45401.0));
}

// A clock that moves on a day each time it is read.
class RacingClock : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2024, 3, 15).addDays(readings++), QTime(23, 59)); }
    mutable int readings = 0;
};

TEST_F(Recalculation, SeesOneMomentForEveryTodayAndNow)
{
    const RacingClock racing;
    for (int row = 0; row < 20; ++row)
        set(first, {row, 0}, row % 2 ? "=NOW()" : "=TODAY()+0*B1");
    set(first, {20, 0}, "=A1=INT(A2)");
    recalculate(workbook, racing);
    EXPECT_EQ(racing.readings, 1);
    EXPECT_EQ(valueAt(first, {0, 0}), Value(45366.0));
    EXPECT_EQ(valueAt(first, {18, 0}), Value(45366.0));
    EXPECT_EQ(valueAt(first, {20, 0}), Value(true));
    recalculate(workbook, racing);
    EXPECT_EQ(valueAt(first, {0, 0}), Value(45367.0)) << "the next recalculation reads the clock again";
}

TEST_F(Recalculation, ReferencesToAMissingSheetAreRefErrors)
{
    set(first, {0, 0}, "=Gone!A1+1");
    recalculate(workbook, clock);
    EXPECT_EQ(valueAt(first, {0, 0}), Value(ErrorCode::Ref));
}

class ConditionalLook : public Recalculation {
protected:
    ConditionalRule rule(const char *formula, QRgb fill, bool stop = false, std::optional<bool> bold = {})
    {
        ConditionalStyle style;
        style.fill = Fill{FillPattern::Solid, Color::fromRgb(fill)};
        style.bold = bold;
        return {parseFormula(QString::fromUtf8(formula)), style, stop};
    }
    std::optional<QRgb> fillAt(CellAddress at) const
    {
        const Evaluator evaluator(workbook, clock);
        const auto fill = conditionalStyleAt(evaluator, first, at).fill;
        return fill ? std::optional<QRgb>(fill->color.rgb & 0xFFFFFF) : std::nullopt;
    }
};

TEST_F(ConditionalLook, RulesMoveWithTheTestedCell)
{
    first.cellAt({1, 0}).value = 5.0; // A2
    first.cellAt({2, 0}).value = 1.0; // A3
    first.conditionalFormats().push_back({{{1, 1, 2, 2}}, {rule("=$A2>3", 0xFF0000)}});
    EXPECT_EQ(fillAt({1, 1}), 0xFF0000u);
    EXPECT_EQ(fillAt({1, 2}), 0xFF0000u);
    EXPECT_EQ(fillAt({2, 1}), std::nullopt);
    EXPECT_EQ(fillAt({3, 1}), std::nullopt) << "outside the format's ranges";
}

TEST_F(ConditionalLook, EarlierRulesAndFormatsWinAndStopIfTrueEndsTheSearch)
{
    const CellRange all{0, 0, 9, 9};
    first.conditionalFormats().push_back({{all}, {rule("=A1=\"x\"", 0x111111), rule("=TRUE", 0x222222, false, true)}});
    ConditionalRule coloured = rule("=TRUE", 0x444444);
    coloured.style.fontColor = Color::fromRgb(0x555555);
    first.conditionalFormats().push_back({{all}, {rule("=TRUE", 0x333333, true), coloured}});
    first.cellAt({0, 0}).value = QStringLiteral("X");

    const Evaluator evaluator(workbook, clock);
    const ConditionalStyle matched = conditionalStyleAt(evaluator, first, {0, 0});
    EXPECT_EQ(matched.fill->color.rgb & 0xFFFFFF, 0x111111u);
    EXPECT_EQ(matched.bold, true) << "a later holding rule adds what the earlier one left unset";
    EXPECT_FALSE(matched.fontColor) << "the stop-if-true rule kept the last rule out";
    const ConditionalStyle other = conditionalStyleAt(evaluator, first, {0, 1});
    EXPECT_EQ(other.fill->color.rgb & 0xFFFFFF, 0x222222u);
}

TEST_F(ConditionalLook, ErrorsAndTextAreNotTrue)
{
    first.conditionalFormats().push_back({{{0, 0, 0, 2}}, {rule("=1/0", 0x1), rule("=\"TRUE\"", 0x2), rule("=2", 0x3)}});
    EXPECT_EQ(fillAt({0, 0}), 0x3u);
}

} // namespace
} // namespace orv::sheet
