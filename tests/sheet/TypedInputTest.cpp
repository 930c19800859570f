#include "Printers.h"
#include "sheet/DateSerial.h"
#include "files/Failure.h"
#include "sheet/TypedInput.h"
#include "sheet/model/Workbook.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

struct TypedCase {
    const char *locale;
    const char *text;
    Value expected;
    bool isDate = false;
};

void PrintTo(const TypedCase &c, std::ostream *os) { *os << c.locale << " \"" << c.text << '"'; }

class TypedInputReading : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedInputReading, ReadsTextAsAPersonTypingIt)
{
    const TypedCase &c = GetParam();
    const TypedValue typed = readTypedInput(QString::fromUtf8(c.text), QLocale(QString::fromUtf8(c.locale)));
    EXPECT_EQ(typed.value, c.expected);
    EXPECT_EQ(typed.isDate, c.isDate);
}

QString text(const char *utf8) { return QString::fromUtf8(utf8); }

// Serials: 42593 = 11 Aug 2016, 45366 = 15 Mar 2024, 10959 = 1 Jan 1930,
// 47118 = 31 Dec 2028.
INSTANTIATE_TEST_SUITE_P(
    MonthFirst, TypedInputReading,
    ::testing::Values(TypedCase{"en_US", "80", 80.0}, TypedCase{"en_US", "80.5", 80.5},
                      TypedCase{"en_US", "-1,234.5", -1234.5}, TypedCase{"en_US", "+.5", 0.5},
                      TypedCase{"en_US", "  12  ", 12.0}, TypedCase{"en_US", "12%", 0.12},
                      TypedCase{"en_US", "1.5E3", 1500.0}, TypedCase{"en_US", "1,23", text("1,23")},
                      TypedCase{"en_US", "1,234,56", text("1,234,56")}, TypedCase{"en_US", "8/11/2016", 42593.0, true},
                      TypedCase{"en_US", "08-11-16", 42593.0, true}, TypedCase{"en_US", "8.11.2016", 42593.0, true},
                      TypedCase{"en_US", "8 11 2016", 42593.0, true}, TypedCase{"en_US", "1/1/30", 10959.0, true},
                      TypedCase{"en_US", "12/31/28", 47118.0, true}, TypedCase{"en_US", "11/8/2016", 42682.0, true},
                      TypedCase{"en_US", "2/29/2024", 45351.0, true}, TypedCase{"en_US", "2/29/1900", 60.0, true},
                      TypedCase{"en_US", "2/29/2023", text("2/29/2023")},
                      TypedCase{"en_US", "31/12/2016", text("31/12/2016")},
                      TypedCase{"en_US", "2016-08-11", 42593.0, true}, TypedCase{"en_US", "11 Aug 2016", 42593.0, true},
                      TypedCase{"en_US", "11-aug-16", 42593.0, true}, TypedCase{"en_US", "August 11, 2016", 42593.0, true},
                      TypedCase{"en_US", "1/1/1899", text("1/1/1899")}, TypedCase{"en_US", "1/1/999", text("1/1/999")},
                      TypedCase{"en_US", "true", true}, TypedCase{"en_US", "FALSE", false},
                      TypedCase{"en_US", "Design review", text("Design review")},
                      TypedCase{"en_US", " padded ", text(" padded ")}, TypedCase{"en_US", "  ", text("  ")},
                      TypedCase{"en_US", "", Value()}, TypedCase{"en_US", "=1+2", text("=1+2")},
                      TypedCase{"en_US", "8/11", text("8/11")}, TypedCase{"en_US", "1-2-3-4", text("1-2-3-4")}));

INSTANTIATE_TEST_SUITE_P(
    DayFirst, TypedInputReading,
    ::testing::Values(TypedCase{"de_DE", "80,5", 80.5}, TypedCase{"de_DE", "1.234,5", 1234.5},
                      TypedCase{"de_DE", "-0,25", -0.25}, TypedCase{"de_DE", "50 %", 0.5},
                      TypedCase{"de_DE", "80.5", text("80.5")}, TypedCase{"de_DE", "11.08.2016", 42593.0, true},
                      TypedCase{"de_DE", "11.8.16", 42593.0, true}, TypedCase{"de_DE", "11/08/2016", 42593.0, true},
                      TypedCase{"de_DE", "15-3-24", 45366.0, true}, TypedCase{"de_DE", "31.02.2024", text("31.02.2024")},
                      TypedCase{"de_DE", "8/31/2016", text("8/31/2016")}, TypedCase{"de_DE", "2016-08-11", 42593.0, true},
                      TypedCase{"de_DE", "11. Aug. 2016", 42593.0, true}, TypedCase{"de_DE", "11 August 2016", 42593.0, true},
                      TypedCase{"de_DE", "11 März 2024", 45362.0, true}));

INSTANTIATE_TEST_SUITE_P(
    YearFirst, TypedInputReading,
    ::testing::Values(TypedCase{"sv_SE", "16-08-11", 42593.0, true}, TypedCase{"sv_SE", "2016-8-11", 42593.0, true},
                      TypedCase{"sv_SE", "16/8/11", 42593.0, true}, TypedCase{"sv_SE", "11-08-16", 40771.0, true},
                      TypedCase{"sv_SE", "80,5", 80.5}, TypedCase{"sv_SE", "1 234,5", 1234.5},
                      TypedCase{"sv_SE", "\u22122,5", -2.5}, TypedCase{"ja_JP", "2016/08/11", 42593.0, true},
                      TypedCase{"hu_HU", "2016. 08. 11.", 42593.0, true}, TypedCase{"ko_KR", "16. 8. 11.", 42593.0, true},
                      TypedCase{"ja_JP", "16/13/01", text("16/13/01")}));

// The program writes dates in the user's short-date form; whatever the
// locale, reading them back gives the same day.
class ShortDateRoundTrip : public ::testing::TestWithParam<const char *> {};

TEST_P(ShortDateRoundTrip, ReadsBackTheDateTheLocaleWrites)
{
    const QLocale locale(QString::fromUtf8(GetParam()));
    for (const QDate &date : {QDate(2024, 3, 5), QDate(2016, 8, 11), QDate(2029, 12, 31), QDate(2000, 1, 1)}) {
        const QString written = locale.toString(date, QLocale::ShortFormat);
        const TypedValue typed = readTypedInput(written, locale);
        EXPECT_TRUE(typed.isDate) << written.toStdString();
        EXPECT_EQ(typed.value, Value(double(*serialFromDate(date)))) << written.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, ShortDateRoundTrip,
                         ::testing::Values("en_US", "en_GB", "de_DE", "fr_FR", "sv_SE", "ja_JP", "zh_CN", "ko_KR",
                                           "hu_HU", "nl_NL", "es_ES", "it_IT", "pl_PL", "ru_RU", "pt_BR", "da_DK",
                                           "fi_FI", "cs_CZ", "tr_TR", "en_ZA", "bg_BG", "lt_LT"));

TEST(ShortDateFormatCode, HasAFourDigitYearInTheLocaleOrder)
{
    EXPECT_EQ(shortDateFormatCode(QLocale(QStringLiteral("en_US"))), QStringLiteral("m/d/yyyy"));
    EXPECT_EQ(shortDateFormatCode(QLocale(QStringLiteral("de_DE"))), QStringLiteral("dd.mm.yyyy"));
    EXPECT_EQ(shortDateFormatCode(QLocale(QStringLiteral("sv_SE"))), QStringLiteral("yyyy-mm-dd"));
    EXPECT_EQ(shortDateFormatCode(QLocale(QStringLiteral("bg_BG"))), QString::fromUtf8("d.mm.yyyy \"г\"."));
}

class EnteringText : public ::testing::Test {
protected:
    Workbook workbook;
    Sheet &sheet = workbook.addSheet(QStringLiteral("S"));
    const QLocale english{QStringLiteral("en_US")};
};

TEST_F(EnteringText, GivesADateInAGeneralCellTheShortDateFormat)
{
    enterText(workbook, sheet, {0, 0}, QStringLiteral("8/11/2016"), english);
    const Cell &cell = *sheet.cell({0, 0});
    EXPECT_EQ(cell.value, Value(42593.0));
    EXPECT_EQ(workbook.format(cell.formatIndex).numberFormat, QStringLiteral("m/d/yyyy"));
}

TEST_F(EnteringText, KeepsAnExistingNumberFormatAndTheRestOfTheLook)
{
    CellFormat dated;
    dated.numberFormat = QStringLiteral("m/d;@");
    dated.font.bold = true;
    sheet.cellAt({0, 0}).formatIndex = workbook.addFormat(dated);
    CellFormat bold;
    bold.font.bold = true;
    sheet.cellAt({1, 0}).formatIndex = workbook.addFormat(bold);

    enterText(workbook, sheet, {0, 0}, QStringLiteral("8/11/2016"), english);
    enterText(workbook, sheet, {1, 0}, QStringLiteral("8/11/2016"), english);

    EXPECT_EQ(workbook.format(sheet.cell({0, 0})->formatIndex), dated);
    const CellFormat &entered = workbook.format(sheet.cell({1, 0})->formatIndex);
    EXPECT_TRUE(entered.font.bold);
    EXPECT_EQ(entered.numberFormat, QStringLiteral("m/d/yyyy"));
}

TEST_F(EnteringText, ReplacesAFormulaAndLeavesNumbersAndTextUnformatted)
{
    Cell &cell = sheet.cellAt({0, 0});
    cell.value = 3.0;
    cell.formula = std::make_shared<FormulaNode>();
    enterText(workbook, sheet, {0, 0}, QStringLiteral("12.5"), english);
    enterText(workbook, sheet, {0, 1}, QStringLiteral("Task"), english);
    EXPECT_FALSE(sheet.cell({0, 0})->hasFormula());
    EXPECT_EQ(sheet.cell({0, 0})->value, Value(12.5));
    EXPECT_EQ(sheet.cell({0, 1})->value, Value(QStringLiteral("Task")));
    EXPECT_EQ(sheet.cell({0, 0})->formatIndex, 0);
    EXPECT_EQ(sheet.cell({0, 1})->formatIndex, 0);
}

TEST_F(EnteringText, StoresANumberGivenAsANumberAsItIs)
{
    enterValue(sheet, {0, 0}, 0.805);
    EXPECT_EQ(sheet.cell({0, 0})->value, Value(0.805));
    EXPECT_THROW(enterValue(sheet, {0, 256}, 1.0), Failure);
    EXPECT_THROW(enterText(workbook, sheet, {65536, 0}, QStringLiteral("1"), english), Failure);
}

} // namespace
} // namespace orv::sheet
