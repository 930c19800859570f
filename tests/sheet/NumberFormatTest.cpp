#include "QStringPrinter.h"
#include "sheet/render/NumberFormat.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

struct FormatCase {
    const char *code;
    Value value;
    const char *shown;
};

void PrintTo(const FormatCase &c, std::ostream *out) { *out << '"' << c.code << '"'; }

class NumberFormatShows : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormatShows, TheValueAsASpreadsheetDoes)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(NumberFormat(QString::fromUtf8(c.code)).format(c.value).text, QString::fromUtf8(c.shown));
}

// Serial 42593 is 2016-08-11 (a Thursday); 42370 is 2016-01-01.
INSTANTIATE_TEST_SUITE_P(General, NumberFormatShows, ::testing::Values(
    FormatCase{"General", 0.0, "0"},
    FormatCase{"General", 42.0, "42"},
    FormatCase{"General", -1.5, "-1.5"},
    FormatCase{"General", 0.1 + 0.2, "0.3"},
    FormatCase{"General", 1.0 / 3.0, "0.333333333"},
    FormatCase{"General", 12345678901.0, "12345678901"},
    FormatCase{"General", 123456789012.0, "1.23457E+11"},
    FormatCase{"General", 0.00000000001, "1E-11"},
    FormatCase{"General", QStringLiteral("text"), "text"},
    FormatCase{"General", true, "TRUE"},
    FormatCase{"General", ErrorCode::Div0, "#DIV/0!"},
    FormatCase{"", 7.0, "7"}));

INSTANTIATE_TEST_SUITE_P(Dates, NumberFormatShows, ::testing::Values(
    FormatCase{"m/d", 42593.0, "8/11"},
    FormatCase{"m/d;@", 42593.0, "8/11"},
    FormatCase{"m/d;@", QStringLiteral("soon"), "soon"},
    FormatCase{"mmm", 42593.0, "Aug"},
    FormatCase{"mmmm", 42593.0, "August"},
    FormatCase{"mmmmm", 42593.0, "A"},
    FormatCase{"m/d/yyyy", 42593.0, "8/11/2016"},
    FormatCase{"d-mmm-yy", 42370.0, "1-Jan-16"},
    FormatCase{"dd/mm/yyyy", 42370.0, "01/01/2016"},
    FormatCase{"ddd dddd", 42593.0, "Thu Thursday"},
    FormatCase{"m/d/yyyy", 60.0, "2/29/1900"},
    FormatCase{"m/d/yyyy", 61.0, "3/1/1900"},
    FormatCase{"m/d/yyyy", 59.0, "2/28/1900"},
    FormatCase{"m/d/yyyy", 1.0, "1/1/1900"},
    FormatCase{"m/d/yyyy", 0.0, "1/0/1900"},
    FormatCase{"h:mm", 42593.75, "18:00"},
    FormatCase{"h:mm AM/PM", 42593.75, "6:00 PM"},
    FormatCase{"hh:mm:ss", 0.5 + 1.0 / 86400, "12:00:01"},
    FormatCase{"yyyy-mm-dd", 42593.9999999, "2016-08-12"},
    FormatCase{"[$-409]mmm", 42593.0, "Aug"}));

INSTANTIATE_TEST_SUITE_P(Numbers, NumberFormatShows, ::testing::Values(
    FormatCase{"0%", 0.5, "50%"},
    FormatCase{"0%", 0.125, "13%"},
    FormatCase{"0.00%", 0.12345, "12.35%"},
    FormatCase{"0.00", 3.14159, "3.14"},
    FormatCase{"0.00", -2.0, "-2.00"},
    FormatCase{"0", 2.5, "3"},
    FormatCase{"#,##0", 1234567.0, "1,234,567"},
    FormatCase{"#,##0.00", 999.999, "1,000.00"},
    FormatCase{"#.##", 0.5, ".5"},
    FormatCase{"0.0#", 1.5, "1.5"},
    FormatCase{"0.0#", 1.257, "1.26"},
    FormatCase{"000", 7.0, "007"},
    FormatCase{"#,##0,", 1234567.0, "1,235"},
    FormatCase{"0.00E+00", 12345.0, "1.23E+04"},
    FormatCase{"\"$\"#,##0", 1500.0, "$1,500"},
    FormatCase{"\\$0", 5.0, "$5"},
    FormatCase{"0_);(0)", 5.0, "5 "},
    FormatCase{"0;(0)", -5.0, "(5)"},
    FormatCase{"0;-0;\"zero\"", 0.0, "zero"},
    FormatCase{"0;-0;\"zero\";\"[\"@\"]\"", QStringLiteral("x"), "[x]"},
    FormatCase{"0.00;;", 0.0, ""},
    FormatCase{"@", 12.0, "12"},
    FormatCase{"@", QStringLiteral("typed"), "typed"},
    FormatCase{"0 \"days\"", 3.0, "3 days"}));

TEST(NumberFormatColour, ASectionCanNameTheColourOfItsNumbers)
{
    const NumberFormat format(QStringLiteral("0;[Red]-0"));
    EXPECT_FALSE(format.formatNumber(1).color.has_value());
    ASSERT_TRUE(format.formatNumber(-1).color.has_value());
    EXPECT_EQ(*format.formatNumber(-1).color, QColor(Qt::red));
    EXPECT_EQ(format.formatNumber(-1).text, QStringLiteral("-1"));
}

TEST(NumberFormatDates, SerialsOutsideTheCalendarCannotBeShown)
{
    const NumberFormat format(QStringLiteral("m/d/yyyy"));
    EXPECT_TRUE(format.formatNumber(-1).unrepresentable);
    EXPECT_TRUE(format.formatNumber(2958466).unrepresentable);
    EXPECT_FALSE(format.formatNumber(2958465).unrepresentable);
    EXPECT_EQ(format.formatNumber(2958465).text, QStringLiteral("12/31/9999"));
}

TEST(NumberFormatKinds, TellDatesAndGeneralSectionsApart)
{
    EXPECT_TRUE(NumberFormat(QStringLiteral("m/d;@")).isDateFor(42593));
    EXPECT_FALSE(NumberFormat(QStringLiteral("0%")).isDateFor(0.5));
    EXPECT_TRUE(NumberFormat(QStringLiteral("General")).isGeneralFor(3));
    EXPECT_FALSE(NumberFormat(QStringLiteral("0;General")).isGeneralFor(3));
    EXPECT_TRUE(NumberFormat(QStringLiteral("0;General")).isGeneralFor(-3));
}

struct HiddenCase {
    const char *code;
    double number;
    bool showsNothing;
};

// A number said to show nothing is one the whole format turns into no text;
// the others are drawn as the format writes them.
TEST(NumberFormatHides, ExactlyTheNumbersItWritesAsNoText)
{
    const HiddenCase cases[] = {{";;;", 0, true},         {";;;", 5, true},       {";;;", -5, true},
                                {"0.00;;", 0, true},      {"0.00;;", 1, false},   {"0;;", -5, true},
                                {"0;-0;", 0, true},       {"General", 0, false},  {"m/d", -1, false},
                                {"@", 12, false},         {";;;@", 3, true},      {"0;\"minus\";", -2, false}};
    for (const HiddenCase &c : cases) {
        const NumberFormat format(QString::fromUtf8(c.code));
        const FormattedValue shown = format.formatNumber(c.number);
        EXPECT_EQ(format.showsNothingFor(c.number), c.showsNothing) << c.code << " " << c.number;
        if (c.showsNothing)
            EXPECT_TRUE(shown.text.isEmpty() && !shown.unrepresentable) << c.code << " " << c.number;
    }
}

} // namespace
} // namespace orv::sheet
