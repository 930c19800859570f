// The hints agree with the chart's own reading of typed dates, under a
// month-first and a day-first locale.
#include "app/EntryHints.h"

#include "sheet/TypedInput.h"

#include <gtest/gtest.h>

namespace orv::test {
namespace {

struct DateCase {
    const char *locale;
    const char *text;
    bool isDate;
};

class DateHint : public ::testing::TestWithParam<DateCase> {
protected:
    QLocale locale() const { return QLocale(QLatin1String(GetParam().locale)); }
};

TEST_P(DateHint, FollowsTheChartsTypedInput)
{
    const QString text = QString::fromUtf8(GetParam().text);
    EXPECT_EQ(sheet::readTypedInput(text, locale()).isDate, GetParam().isDate) << "the chart's reading";
    EXPECT_EQ(dateHint(text, locale()).isEmpty(), GetParam().isDate);
}

TEST_P(DateHint, GivesAnExampleInTheLocalesForm)
{
    const QString hint = dateHint("soon", locale());
    const QString example = QString(GetParam().locale) == "en_US" ? "8/24/2026" : "24/08/2026";
    EXPECT_EQ(hint, "not a date in your short date form, e.g. " + example);
    EXPECT_TRUE(dateHint(hint.section(' ', -1), locale()).isEmpty()) << "the example reads as a date";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateHint,
    ::testing::Values(DateCase{"en_US", "12/31/2026", true}, DateCase{"en_US", "31/12/2026", false},
                      DateCase{"en_US", "2026-13-01", false}, DateCase{"en_US", "2026-12-01", true},
                      DateCase{"en_US", "12/31", false}, DateCase{"en_US", "", false},
                      DateCase{"en_US", "45000", false}, DateCase{"en_US", "11 Aug 2016", true},
                      DateCase{"en_GB", "31/12/2026", true}, DateCase{"en_GB", "12/31/2026", false},
                      DateCase{"en_GB", "2/30/2026", false}, DateCase{"en_GB", "29/02/2028", true},
                      DateCase{"en_GB", "29/02/2027", false}, DateCase{"en_GB", "tomorrow", false}),
    [](const auto &info) {
        std::string name = std::string(info.param.locale) + "_" + std::to_string(info.index);
        return name;
    });

TEST(CategoryHint, NamesExactlyOnly)
{
    const QSet<QString> names{"Design", "Build"};
    EXPECT_TRUE(categoryHint("Design", names).isEmpty());
    EXPECT_EQ(categoryHint("design", names), "not in the chart: no such category");
    EXPECT_EQ(categoryHint("Design ", names), "not in the chart: no such category");
    EXPECT_EQ(categoryHint("", names), "not in the chart: no such category");
    EXPECT_TRUE(categoryHint("", {""}).isEmpty());
}

} // namespace
} // namespace orv::test
