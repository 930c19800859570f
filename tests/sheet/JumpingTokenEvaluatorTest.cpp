// IF and CHOOSE laid out with their jump tokens as the format's own
// application writes them, run by an evaluator that follows the jumps.

#include "JumpingTokenEvaluator.h"
#include "XlsTestWorkbooks.h"
#include "sheet/model/Workbook.h"
#include "support/ScriptedServices.h"

namespace orv::sheet::xls::testing {
namespace {

QByteArray bytes(const char *hex) { return QByteArray::fromHex(QByteArray(hex).replace(' ', "")); }

const SheetLinks kNoLinks;

// A1 holds 5.
class JumpingEvaluation {
protected:
    JumpingEvaluation() : sheet(book.addSheet(QStringLiteral("Plan")))
    {
        Cell five;
        five.value = 5.0;
        sheet.setCell({0, 0}, five);
    }

    Value run(const QByteArray &tokens) const
    {
        const Evaluator functions(book, clock);
        return JumpingTokenEvaluator(functions, sheet).run(tokens, FormulaPlace::Cell, {3, 3});
    }

    test::FixedClock clock;
    Workbook book;
    Sheet &sheet;
};

struct LaidOut {
    const char *formula;
    const char *tokens; // hand-assembled: condition, tAttrIf, branches each closed by tAttrSkip, function token
    Value value;
};

// A1>1 and A1<1 as tokens: IF's condition uses A1's value (tRefV).
#define A1_GT_1 "44000000c0 1e0100 0d"
#define A1_LT_1 "44000000c0 1e0100 09"

// The outermost IF or CHOOSE gives the cell's value (tFuncVarV); one nested
// in an argument that may be a reference stays in the reference class, as
// does a reference given as IF's result.
const LaidOut kLaidOut[] = {
    {"IF(A1>1,\"big\",\"small\")", A1_GT_1 " 19020a00 170300626967 19080f00 170500736d616c6c 19080300 42030100",
     QStringLiteral("big")},
    {"IF(A1<1,\"big\",\"small\")", A1_LT_1 " 19020a00 170300626967 19080f00 170500736d616c6c 19080300 42030100",
     QStringLiteral("small")},
    {"IF(A1<1,2)", A1_LT_1 " 19020700 1e0200 19080300 42020100", false},
    {"IF(A1>1,A1)", A1_GT_1 " 19020900 24000000c0 19080300 42020100", 5.0},
    {"IF(A1>1,IF(A1>9,1,2),3)",
     A1_GT_1 " 19022300 44000000c0 1e0900 0d 19020700 1e0100 19080a00 1e0200 19080300 22030100"
             " 19080a00 1e0300 19080300 42030100",
     2.0},
    {"IF(A1<1,3,IF(A1>9,1,2))",
     A1_LT_1 " 19020700 1e0300 19082600 44000000c0 1e0900 0d 19020700 1e0100 19080a00 1e0200 19080300 22030100"
             " 19080300 42030100",
     2.0},
    {"CHOOSE(2,\"a\",\"b\")", "1e0200 19040200 06000e001600 17010061 19080b00 17010062 19080300 42036400",
     QStringLiteral("b")},
    {"CHOOSE(3,\"a\",\"b\")", "1e0300 19040200 06000e001600 17010061 19080b00 17010062 19080300 42036400",
     ErrorCode::Value},
    {"CHOOSE(1,IF(A1>1,7),9)",
     "1e0100 19040200 060022002900 " A1_GT_1 " 19020700 1e0700 19080300 22020100 19080a00 1e0900 19080300 42036400",
     7.0},
};

class IfAndChooseLayout : public JumpingEvaluation, public ::testing::TestWithParam<LaidOut> {};

TEST_P(IfAndChooseLayout, IsWrittenByteForByteReadBackAndEvaluatedAlongTheJumps)
{
    const LaidOut &c = GetParam();
    const QByteArray expected = bytes(c.tokens);
    EXPECT_EQ(encodeFormula(*formula(QString::fromLatin1(c.formula)), FormulaPlace::Cell, {3, 3}, kNoLinks).tokens.toHex(' '),
              expected.toHex(' '));
    EXPECT_EQ(describe(decodeFormula(expected, FormulaPlace::Cell, {3, 3}, kNoLinks)), QString::fromLatin1(c.formula));
    EXPECT_EQ(describe(run(expected)), describe(c.value));
}

INSTANTIATE_TEST_SUITE_P(Table, IfAndChooseLayout, ::testing::ValuesIn(kLaidOut));

struct Broken {
    const char *what;
    const char *tokens;
    const char *fault;
};

const Broken kBroken[] = {
    // The layout written before: no skip after the false branch.
    {"false branch runs into IF", A1_LT_1 " 19020a00 170300626967 19080b00 170500736d616c6c 22030100",
     "IF's function token is executed"},
    {"IF without jumps", A1_LT_1 " 1e0100 1e0200 22030100", "IF's function token is executed"},
    {"CHOOSE without table", "1e0200 1e0100 1e0200 22036400", "CHOOSE's function token is executed"},
    {"operator without operands", "1e0100 03", "stack underflow"},
    {"two values left", "1e0100 1e0200", "2 values left"},
    {"nothing left", "", "0 values left"},
    {"tAttrIf into the middle of a string", A1_LT_1 " 19020900 170300626967 19080f00 170500736d616c6c 19080300 22030100",
     "not the start of a token"},
    {"tAttrSkip past the end", A1_GT_1 " 19020a00 170300626967 19081000 170500736d616c6c 19080300 22030100",
     "not the start of a token"},
    {"tAttrChoose into the middle of a value", "1e0200 19040200 06000d001600 17010061 19080b00 17010062 19080300 22036400",
     "not the start of a token"},
};

class BrokenLayout : public JumpingEvaluation, public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenLayout, FailsLoudly)
{
    try {
        run(bytes(GetParam().tokens));
        ADD_FAILURE() << "no fault for " << GetParam().what;
    } catch (const TokenFault &fault) {
        EXPECT_NE(std::string(fault.what()).find(GetParam().fault), std::string::npos) << fault.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BrokenLayout, ::testing::ValuesIn(kBroken));

TEST(IfLayoutWrittenBefore, IsStillRead)
{
    EXPECT_EQ(describe(decodeFormula(bytes(kBroken[0].tokens), FormulaPlace::Cell, {3, 3}, kNoLinks)),
              QStringLiteral("IF(A1<1,\"big\",\"small\")"));
}

} // namespace
} // namespace orv::sheet::xls::testing
