#include "Printers.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/formula/ReferenceAdjustment.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

struct InsertionCase {
    const char *formula; // standing on sheet "Plan"
    int firstRow;        // 1-based row the new rows go above, on sheet "Plan"
    int count;
    const char *expected;
};

void PrintTo(const InsertionCase &c, std::ostream *os)
{
    *os << c.formula << " with " << c.count << " rows above row " << c.firstRow;
}

class RowInsertionAdjustment : public ::testing::TestWithParam<InsertionCase> {};

TEST_P(RowInsertionAdjustment, MovesWhatIsAtOrBelowTheInsertion)
{
    const InsertionCase &c = GetParam();
    const FormulaPtr formula = parseFormula(QString::fromUtf8(c.formula));
    const FormulaPtr adjusted
        = adjustForInsertedRows(formula, QStringLiteral("Plan"), {QStringLiteral("Plan"), c.firstRow - 1, c.count});
    EXPECT_EQ(printFormula(*adjusted), QString::fromUtf8(c.expected));
    if (QString::fromUtf8(c.expected) == QString::fromUtf8(c.formula)) {
        EXPECT_EQ(adjusted, formula) << "an unchanged formula is shared, not copied";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RowInsertionAdjustment,
    ::testing::Values(InsertionCase{"A5", 6, 1, "A5"},             // above the insertion
                      InsertionCase{"A5", 5, 1, "A6"},             // at the insertion
                      InsertionCase{"A5", 3, 2, "A7"},             // below the insertion
                      InsertionCase{"$A$5+A$5+$A5", 3, 1, "$A$6+A$6+$A6"}, // absolute references move too
                      InsertionCase{"MAX(MIN(D3:E15),TODAY()-30)", 12, 1, "MAX(MIN(D3:E16),TODAY()-30)"},
                      InsertionCase{"MIN(D11:D12)", 12, 1, "MIN(D11:D13)"}, // a range spanning the point grows
                      InsertionCase{"MIN(D11:D12)", 11, 4, "MIN(D15:D16)"}, // at its first row it moves
                      InsertionCase{"MIN(D11:D12)", 13, 1, "MIN(D11:D12)"}, // just below it nothing happens
                      InsertionCase{"MIN(D11:D12)", 1, 1, "MIN(D12:D13)"},
                      InsertionCase{"SUM(B12:A10)", 11, 1, "SUM(B13:A10)"},
                      InsertionCase{"Plan!A5+'Other'!A5", 2, 1, "Plan!A6+Other!A5"},
                      InsertionCase{"A65536", 2, 1, "#REF!"},
                      InsertionCase{"SUM(A1:A65536)", 2, 1, "SUM(A1:A65536)"},
                      InsertionCase{"SUM(A65000:A65536)", 2, 600, "SUM(#REF!)"},
                      InsertionCase{"IF(H6<>E6,H6,\"\")", 7, 1, "IF(H6<>E6,H6,\"\")"}));

TEST(RowInsertionAdjustment, KeepsAdjustingFormulasItHasRewritten)
{
    const QString plan = QStringLiteral("Plan");
    FormulaPtr formula = parseFormula(QStringLiteral("=SUM(A5,B2:B4)+C1"));
    EXPECT_EQ(lastReferencedRow(*formula), 4);
    formula = adjustForInsertedRows(formula, plan, {plan, 2, 1});
    EXPECT_EQ(lastReferencedRow(*formula), 5);
    formula = adjustForInsertedRows(formula, plan, {plan, 5, 2});
    formula = translateFormula(formula, 10, 0);
    EXPECT_EQ(lastReferencedRow(*formula), 17);
    formula = adjustForInsertedRows(formula, plan, {plan, 17, 1});
    EXPECT_EQ(printFormula(*formula), QStringLiteral("SUM(A19,B12:B15)+C11"));
    EXPECT_EQ(lastReferencedRow(*parseFormula(QStringLiteral("=1+TODAY()"))), -1);
}

TEST(RowInsertionAdjustment, ReachesReferencesFromOtherSheetsByName)
{
    const FormulaPtr formula = parseFormula(QStringLiteral("=plan!A5+A5"));
    EXPECT_EQ(printFormula(*adjustForInsertedRows(formula, QStringLiteral("Summary"),
                                                  {QStringLiteral("Plan"), 0, 1})),
              QStringLiteral("plan!A6+A5"));
}

struct TranslationCase {
    const char *formula;
    int rows;
    int columns;
    const char *expected;
};

void PrintTo(const TranslationCase &c, std::ostream *os) { *os << c.formula; }

class FormulaTranslation : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(FormulaTranslation, MovesRelativePartsOnly)
{
    const TranslationCase &c = GetParam();
    EXPECT_EQ(printFormula(*translateFormula(parseFormula(QString::fromUtf8(c.formula)), c.rows, c.columns)),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Table, FormulaTranslation,
                         ::testing::Values(TranslationCase{"A5+$B$5+A$5+$A5", 2, 0, "A7+$B$5+A$5+$A7"},
                                           TranslationCase{"A5+$B$5+A$5+$A5", 0, 1, "B5+$B$5+B$5+$A5"},
                                           TranslationCase{"SUM(D11:D12)", 4, 0, "SUM(D15:D16)"},
                                           TranslationCase{"A2", -2, 0, "#REF!"},
                                           TranslationCase{"IV1+1", 0, 1, "#REF!+1"},
                                           TranslationCase{"AND($B11<>\"\",H$6>=$D11)", -1, 1,
                                                           "AND($B10<>\"\",I$6>=$D10)"}));

TEST(RangeAdjustment, GrowsMovesOrDropsRanges)
{
    EXPECT_EQ(adjustRange({10, 7, 11, 202}, 11, 1), (CellRange{10, 7, 12, 202}));
    EXPECT_EQ(adjustRange({10, 7, 11, 202}, 10, 2), (CellRange{12, 7, 13, 202}));
    EXPECT_EQ(adjustRange({10, 7, 11, 202}, 12, 2), (CellRange{10, 7, 11, 202}));
    EXPECT_EQ(adjustRange({0, 0, 65535, 0}, 5, 2), (CellRange{0, 0, 65535, 0}));
    EXPECT_FALSE(adjustRange({65535, 0, 65535, 3}, 5, 1));
}

} // namespace
} // namespace orv::sheet
