#include "Printers.h"
#include "support/ScriptedServices.h"
#include "files/Failure.h"
#include "sheet/formula/Evaluator.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/model/Workbook.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

// A formula, the text it prints back as, and what it evaluates to in cell
// A20 of the sample sheet below.
struct GrammarCase {
    const char *text;
    const char *printed; // nullptr: exactly the text without "="
    Value expected;
};

void PrintTo(const GrammarCase &c, std::ostream *os) { *os << c.text; }

class FormulaGrammar : public ::testing::TestWithParam<GrammarCase> {
protected:
    FormulaGrammar()
    {
        Sheet &sheet = workbook.addSheet(QStringLiteral("Plan"));
        sheet.cellAt({0, 0}).value = 1.0;                      // A1
        sheet.cellAt({1, 0}).value = 2.0;                      // A2
        sheet.cellAt({2, 0}).value = QStringLiteral("text");   // A3
        sheet.cellAt({3, 0}).value = true;                     // A4
        sheet.cellAt({4, 0}).value = ErrorCode::Div0;          // A5
        sheet.cellAt({0, 1}).value = 10.0;                     // B1
        sheet.cellAt({1, 1}).value = -4.0;                     // B2
        sheet.cellAt({2, 3}).value = 45366.0;                  // D3: 2024-03-15, a Friday
        Sheet &other = workbook.addSheet(QStringLiteral("My Sheet"));
        other.cellAt({0, 0}).value = 7.0;
        other.cellAt({1, 1}).value = 8.0;
    }

    Workbook workbook;
    test::FixedClock clock{QDateTime(QDate(2024, 3, 15), QTime(18, 0))};
};

TEST_P(FormulaGrammar, ParsesPrintsBackAndEvaluates)
{
    const GrammarCase &c = GetParam();
    const FormulaPtr formula = parseFormula(QString::fromUtf8(c.text));
    QString expectedText = QString::fromUtf8(c.printed ? c.printed : c.text);
    if (expectedText.startsWith(u'='))
        expectedText.remove(0, 1);
    EXPECT_EQ(printFormula(*formula), expectedText);
    // The printed text parses to a tree that prints the same.
    EXPECT_EQ(printFormula(*parseFormula(printFormula(*formula))), expectedText);
    const Evaluator evaluator(workbook, clock);
    const Value result = evaluator.evaluate(*formula, workbook.sheet(0), {19, 0});
    if (const double *number = std::get_if<double>(&c.expected)) {
        ASSERT_TRUE(std::holds_alternative<double>(result)) << printFormula(*formula).toStdString();
        EXPECT_NEAR(std::get<double>(result), *number, 1e-9);
    } else {
        EXPECT_EQ(result, c.expected);
    }
}

const GrammarCase kGrammar[] = {
    // literals
    {"=1", nullptr, 1.0},
    {"=1.5E+20", "1.5E+20", 1.5e20},
    {"=.5", "0.5", 0.5},
    {"=\"say \"\"hi\"\"\"", nullptr, QStringLiteral("say \"hi\"")},
    {"=TRUE", nullptr, true},
    {"=false", "FALSE", false},
    {"=#N/A", nullptr, ErrorCode::NA},
    {"=#DIV/0!", nullptr, ErrorCode::Div0},
    // precedence and associativity
    {"=1+2*3", nullptr, 7.0},
    {"=(1+2)*3", nullptr, 9.0},
    {"=-2^2", nullptr, 4.0},
    {"=2^3^2", nullptr, 64.0},
    {"=2^-1", nullptr, 0.5},
    {"=50%", nullptr, 0.5},
    {"=10-2-3", nullptr, 5.0},
    {"=1+2&3", nullptr, QStringLiteral("33")},
    {"=1+1=2", nullptr, true},
    {"=+A1", nullptr, 1.0},
    {"=--A2", nullptr, 2.0},
    {"= 1 + 2", "1+2", 3.0},
    // references and ranges
    {"=A1+B1", nullptr, 11.0},
    {"=$A$1+A$2+$B1", nullptr, 13.0},
    {"=a1", "A1", 1.0},
    {"=SUM(A1:B2)", nullptr, 9.0},
    {"=SUM(A1:A2 A2:B2)", nullptr, 2.0},
    {"=SUM(A1:A2 B1:B2)", nullptr, ErrorCode::Null},
    {"=SUM((A1,B1))", nullptr, 11.0},
    {"=SUM(A1:A2:B2)", nullptr, 9.0},
    {"='My Sheet'!A1+'My Sheet'!B2", nullptr, 15.0},
    {"='My Sheet'!A1+'My Sheet'!A1:B2", nullptr, ErrorCode::Value},
    {"=A1:A4", nullptr, ErrorCode::Value},
    {"=C1:C30+1", nullptr, 1.0},
    {"=SUM('My Sheet'!A1:B2)", nullptr, 15.0},
    {"=Plan!B1", nullptr, 10.0},
    {"=Missing!A1", nullptr, ErrorCode::Ref},
    {"=C9", nullptr, 0.0},
    {"=C9&\"\"", nullptr, QString()},
    // comparison across types: numbers < text < booleans, text without case
    {"=A3>A1", nullptr, true},
    {"=A4>A3", nullptr, true},
    {"=\"ABC\"=\"abc\"", nullptr, true},
    {"=\"a\"<\"B\"", nullptr, true},
    {"=C9=0", nullptr, true},
    {"=C9=\"\"", nullptr, true},
    {"=C9<>FALSE", nullptr, false},
    {"=1<>1", nullptr, false},
    {"=2<=1", nullptr, false},
    {"=2>=2", nullptr, true},
    // arithmetic conversions and errors
    {"=\"3\"+1", nullptr, 4.0},
    {"=A3+1", nullptr, ErrorCode::Value},
    {"=TRUE+1", nullptr, 2.0},
    {"=1/0", nullptr, ErrorCode::Div0},
    {"=A5+1", nullptr, ErrorCode::Div0},
    {"=#REF!+1/0", nullptr, ErrorCode::Ref},
    {"=0^0", nullptr, ErrorCode::Num},
    {"=(-8)^0.5", nullptr, ErrorCode::Num},
    // functions
    {"=IF(A1>0,\"yes\",\"no\")", nullptr, QStringLiteral("yes")},
    {"=IF(A1<0,\"yes\")", nullptr, false},
    {"=IF(A1,,2)", nullptr, 0.0},
    {"=IF(A3,1,2)", nullptr, ErrorCode::Value},
    {"=IF(A5,1,2)", nullptr, ErrorCode::Div0},
    {"=AND(A1,A4,B1)", nullptr, true},
    {"=AND(A1:A4)", nullptr, true},
    {"=OR(A1<0,B2<0)", nullptr, true},
    {"=AND(C9:C10)", nullptr, ErrorCode::Value},
    {"=NOT(A1)", nullptr, false},
    {"=MIN(A1:A4,B1:B2)", nullptr, -4.0},
    {"=MAX(A1:A4)", nullptr, 2.0},
    {"=MIN(C1:C9)", nullptr, 0.0},
    {"=MAX(A1:A5)", nullptr, ErrorCode::Div0},
    {"=MIN(5,TRUE)", nullptr, 1.0},
    {"=MIN(5,\"x\")", nullptr, ErrorCode::Value},
    {"=SUM(1,,2)", nullptr, 3.0},
    {"=COUNT(A1:A5,1,\"2\",\"x\")", nullptr, 4.0},
    {"=AVERAGE(A1:B2)", nullptr, 2.25},
    {"=AVERAGE(C1:C2)", nullptr, ErrorCode::Div0},
    {"=ABS(B2)", nullptr, 4.0},
    {"=INT(-1.5)", nullptr, -2.0},
    {"=ROUND(2.675,2)", nullptr, 2.68},
    {"=ROUND(-2.5,0)", nullptr, -3.0},
    {"=ROUND(1234,-2)", nullptr, 1200.0},
    {"=MOD(-3,2)", nullptr, 1.0},
    {"=MOD(3,-2)", nullptr, -1.0},
    {"=MOD(1,0)", nullptr, ErrorCode::Div0},
    {"=TODAY()", nullptr, 45366.0},
    {"=NOW()", nullptr, 45366.75},
    {"=TODAY()-30", nullptr, 45336.0},
    {"=DATE(2024,3,15)", nullptr, 45366.0},
    {"=DATE(2023,14,1)", nullptr, 45323.0},
    {"=DATE(2024,3,0)", nullptr, 45351.0},
    {"=DATE(100,1,1)", nullptr, 36526.0},
    {"=DATE(-1,1,1)", nullptr, ErrorCode::Num},
    {"=YEAR(D3)&\"-\"&MONTH(D3)&\"-\"&DAY(D3)", nullptr, QStringLiteral("2024-3-15")},
    {"=MONTH(0)", nullptr, 1.0},
    {"=DAY(0)", nullptr, 0.0},
    {"=YEAR(-1)", nullptr, ErrorCode::Num},
    {"=WEEKDAY(D3)", nullptr, 6.0},
    {"=ISBLANK(C9)", nullptr, true},
    {"=ISBLANK(\"\")", nullptr, false},
    {"=ISNUMBER(A1)", nullptr, true},
    {"=ISNUMBER(\"1\")", nullptr, false},
    {"=ISERROR(A5)", nullptr, true},
    {"=ISERROR(A1)", nullptr, false},
    {"=CONCATENATE(\"a\",1.5,TRUE)", nullptr, QStringLiteral("a1.5TRUE")},
    {"=CONCATENATE(\"a\",A5)", nullptr, ErrorCode::Div0},
    {"=LEN(\"hello\")", nullptr, 5.0},
    {"=LEN(0.1+0.2)", nullptr, 3.0},
    {"=\"\"&1/3", nullptr, QStringLiteral("0.333333333333333")},
    {"=\"\"&1E-10", nullptr, QStringLiteral("1E-10")},
    {"=\"\"&0.000001", "\"\"&1E-06", QStringLiteral("0.000001")},
    {"=\"\"&-123456789012345678", "\"\"&-123456789012345680", QStringLiteral("-1.23456789012346E+17")},
    {"=\"\"&45366", nullptr, QStringLiteral("45366")},
    {"=sum(A1)", "SUM(A1)", 1.0},
    {"=NOSUCH(1)", nullptr, ErrorCode::Name},
    {"=NOT()", nullptr, ErrorCode::Value},
    // the template's own formulas
    {"=IF(MONTH(H6)<>MONTH(E6),H6,\"\")", nullptr, QString()},
    {"=MAX(MIN(D3:E15),TODAY()-30)", nullptr, 45366.0},
    {"=H6+1", nullptr, 1.0},
    {"=MIN(D11:D12)", nullptr, 0.0},
};

INSTANTIATE_TEST_SUITE_P(Table, FormulaGrammar, ::testing::ValuesIn(kGrammar));

class FormulaSyntaxError : public ::testing::TestWithParam<const char *> {};

TEST_P(FormulaSyntaxError, IsAFailureNamingTheFormula)
{
    const QString text = QString::fromUtf8(GetParam());
    try {
        parseFormula(text);
        FAIL() << "parsed: " << GetParam();
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(text)) << failure.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FormulaSyntaxError,
                         ::testing::Values("=", "=1+", "=(1", "=1)", "=\"open", "=SUM(1", "=A1:", "=#BAD!", "=foo",
                                           "=IW1", "=A65537", "='Sheet", "='Sheet'A1", "=1 +* 2", "=Plan!foo",
                                           "=A0", "=ABCDEFGHIJKLM1"));

TEST(FormulaNesting, IsLimitedInsteadOfExhaustingTheStack)
{
    EXPECT_THROW(parseFormula(QString(5000, u'(') + u'1' + QString(5000, u')')), Failure);
    EXPECT_THROW(parseFormula(QStringLiteral("1") + QStringLiteral("+1").repeated(3000)), Failure);
    EXPECT_NO_THROW(parseFormula(QString(50, u'(') + u'1' + QString(50, u')')));
}

TEST(FormulaPrinting, QuotesSheetNamesOnlyWhenNeeded)
{
    EXPECT_EQ(quoteSheetName(QStringLiteral("Plan")), QStringLiteral("Plan"));
    EXPECT_EQ(quoteSheetName(QStringLiteral("My Sheet")), QStringLiteral("'My Sheet'"));
    EXPECT_EQ(quoteSheetName(QStringLiteral("AB12")), QStringLiteral("'AB12'"));
    EXPECT_EQ(quoteSheetName(QStringLiteral("2024")), QStringLiteral("'2024'"));
    EXPECT_EQ(quoteSheetName(QStringLiteral("Bob's")), QStringLiteral("'Bob''s'"));
    EXPECT_EQ(printFormula(*parseFormula(QStringLiteral("='Bob''s'!A1"))), QStringLiteral("'Bob''s'!A1"));
    EXPECT_EQ(columnName(0), QStringLiteral("A"));
    EXPECT_EQ(columnName(25), QStringLiteral("Z"));
    EXPECT_EQ(columnName(26), QStringLiteral("AA"));
    EXPECT_EQ(columnName(255), QStringLiteral("IV"));
}

} // namespace
} // namespace orv::sheet
