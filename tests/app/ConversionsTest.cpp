#include "app/Conversions.h"
#include "files/Failure.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct RoundCase {
    double in;
    int out;
};
class HalfEvenRounding : public ::testing::TestWithParam<RoundCase> {};

TEST_P(HalfEvenRounding, GoesToTheEvenNeighbourOnHalves)
{
    EXPECT_EQ(toInt16(GetParam().in), GetParam().out);
    EXPECT_EQ(toInt32(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Values, HalfEvenRounding,
                         ::testing::Values(RoundCase{2.5, 2}, RoundCase{3.5, 4}, RoundCase{-2.5, -2},
                                           RoundCase{73.5, 74}, RoundCase{48.9, 49}, RoundCase{0.49, 0},
                                           RoundCase{32767.4, 32767}));

TEST(IntegerConversion, OverflowIsReportedAsOverflow)
{
    for (double bad : {32767.5, -32768.6, 1e9}) {
        try {
            toInt16(bad);
            FAIL() << bad;
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.description(), QStringLiteral("Overflow"));
        }
    }
    EXPECT_THROW(toInt32(3e9), Failure);
    EXPECT_THROW(checkedInt16(32768), Failure);
    EXPECT_EQ(checkedInt16(-32768), -32768);
}

} // namespace
} // namespace orv
