#include "chart/PercentText.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace orv::chart {
namespace {

struct PercentCase {
    const char *text;
    double fraction;
};

class PercentTextTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentTextTest, ReadsTheLeadingNumberAsPerCent)
{
    EXPECT_DOUBLE_EQ(fractionFromPercentText(QString::fromUtf8(GetParam().text)), GetParam().fraction);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PercentTextTest,
    ::testing::Values(PercentCase{"80", 0.8}, PercentCase{"80.5", 0.805}, PercentCase{"", 0.0},
                      PercentCase{"abc", 0.0}, PercentCase{"  50%", 0.5}, PercentCase{"1 00", 1.0},
                      PercentCase{"-20", -0.2}, PercentCase{"100 percent", 1.0}, PercentCase{"12abc", 0.12},
                      PercentCase{".5", 0.005}, PercentCase{"80,5", 0.8}, PercentCase{"1e2", 1.0},
                      PercentCase{"5e", 0.05}, PercentCase{"+", 0.0}, PercentCase{"\xd9\xa3", 0.0}));

TEST(PercentTextLocale, PeriodIsTheSeparatorUnderACommaLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(fractionFromPercentText(QStringLiteral("80.5")), 0.805);
    QLocale::setDefault(previous);
}

} // namespace
} // namespace orv::chart
