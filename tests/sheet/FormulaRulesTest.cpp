#include "sheet/formula/Evaluator.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/FormulaRules.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

struct DependenceCase {
    const char *formula;
    bool onRow;
    bool onColumn;
};

class FormulaDependenceOf : public ::testing::TestWithParam<DependenceCase> {};

TEST_P(FormulaDependenceOf, FollowsTheRelativeReferences)
{
    const FormulaDependence dependence = dependenceOf(*parseFormula(QString::fromLatin1(GetParam().formula)));
    EXPECT_EQ(dependence.onRow, GetParam().onRow);
    EXPECT_EQ(dependence.onColumn, GetParam().onColumn);
}

INSTANTIATE_TEST_SUITE_P(Formulas, FormulaDependenceOf, ::testing::Values(
    DependenceCase{"H$6=TODAY()", false, true},
    DependenceCase{"$B11<>\"\"", true, false},
    DependenceCase{"AND(H$6>=$D11,H$6<=$E11)", true, true},
    DependenceCase{"$D$3+1>0", false, false},
    DependenceCase{"SUM(A$1:B$2)>0", false, true},
    DependenceCase{"SUM($A$1:$A2)>0", true, false},
    DependenceCase{"ROW()=2", true, true},
    DependenceCase{"TRUE", false, false}));

// Remembered answers must equal what evaluating every cell gives.
class FormulaRulesAnswer : public ::testing::TestWithParam<const char *> {
protected:
    FormulaRulesAnswer() : sheet(workbook.addSheet(QStringLiteral("Plan")))
    {
        for (int column = 0; column < 6; ++column)
            sheet.cellAt({0, column}).value = double(column % 3);
        for (int row = 1; row < 6; ++row) {
            sheet.cellAt({row, 0}).value = double(row % 2);
            if (row != 3)
                sheet.cellAt({row, 1}).value = QStringLiteral("name");
        }
    }
    Workbook workbook;
    Sheet &sheet;
};

TEST_P(FormulaRulesAnswer, AsEvaluatingEveryCellDoes)
{
    ConditionalFormat format;
    format.ranges = {{1, 2, 5, 5}};
    format.rules.push_back({parseFormula(QString::fromLatin1(GetParam())), {}, false});
    sheet.conditionalFormats().push_back(format);
    const test::FixedClock clock;
    const Evaluator evaluator(workbook, clock);
    const RuleTest rules = formulaRules(evaluator);
    int holding = 0;
    for (int pass = 0; pass < 2; ++pass) { // the second pass reads remembered answers
        for (int row = 1; row <= 5; ++row) {
            for (int column = 2; column <= 5; ++column) {
                const CellAddress at{row, column};
                const bool expected = isTrue(evaluator.evaluateAt(*format.rules[0].formula, sheet, {1, 2}, at));
                EXPECT_EQ(rules(sheet, format, format.rules[0], at), expected) << row << "," << column;
                holding += expected ? 1 : 0;
            }
        }
    }
    EXPECT_GT(holding, 0);
    EXPECT_LT(holding, 40);
}

INSTANTIATE_TEST_SUITE_P(Rules, FormulaRulesAnswer, ::testing::Values(
    "C$1=1",
    "$A2=1",
    "AND($A2=1,C$1>0)",
    "AND($B2<>\"\",C$1=2,$A2=1)",
    "AND($D2,C$1>0)", // an empty cell in AND is skipped
    "AND(($A2),C$1>0)",
    "OR($A2=1,C$1=0)",
    "C1>0",
    // conditions that change along both directions, after or among line-wide ones
    "AND($B2<>\"\",C$1>=$A2,C$1<=$A2+1)",
    "AND(C$1>=$A2,$A2=1,C$1<2)",
    "AND(C$1+$A2>1,C$1*$A2<2)",
    // a condition that fails with an error, a text that reads as TRUE
    "AND(C$1>=0,1/$A2>0)",
    "AND($A2=1,1/(C$1-$A2)>0)",
    "AND(C$1&$A2=\"11\",$A2=1)",
    "AND(IF($A2=1,\"TRUE\",\"no\"),C$1>0)",
    "AND(C$1>0,(($A2=1)))",
    // parts that follow rows against parts that follow columns: empty cells
    // against "" and 0, texts against numbers, errors on either side
    "AND(C$1>=0,$D2=IF(C$1=1,\"\",C$1))",
    "AND(C$1>=0,$D2=C$1)",
    "AND(C$1>=0,$B2<>IF(C$1=2,\"name\",\"\"),$A2=1)",
    "AND(C$1>0,$B2>C$1)",
    "AND(C$1>=0,1/$A2>1/C$1)",
    "AND(C$1>=0,1/C$1<>1/$A2)",
    "AND(C$1>=0,$A2+C$1*2=2)",
    // a part holding an area gives the cell it is met in, so it is not remembered
    "AND(C$1>=0,$A2:$A6=C$1)",
    "AND($A2>=0,C$1:F$1=$A2)"));

} // namespace
} // namespace orv::sheet
