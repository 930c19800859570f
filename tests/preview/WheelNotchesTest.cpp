#include "preview/WheelNotches.h"

#include <gtest/gtest.h>
#include <vector>

namespace orv::preview {
namespace {

struct WheelCase {
    std::vector<QPoint> reports;
    std::vector<QPoint> notches;
};

class WheelNotchesAddUp : public ::testing::TestWithParam<WheelCase> {};

TEST_P(WheelNotchesAddUp, WholeNotchesAreGivenAndTheRestKept)
{
    WheelNotches wheel;
    const WheelCase &c = GetParam();
    for (std::size_t i = 0; i < c.reports.size(); ++i)
        EXPECT_EQ(wheel.add(c.reports[i]), c.notches[i]) << "report " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Devices, WheelNotchesAddUp,
    ::testing::Values(WheelCase{{{0, 120}, {0, -240}}, {{0, 1}, {0, -2}}},                  // a wheel
                      WheelCase{{{0, 40}, {0, 40}, {0, 40}, {0, 40}}, {{0, 0}, {0, 0}, {0, 1}, {0, 0}}}, // fine steps
                      WheelCase{{{0, 100}, {0, -100}, {0, -30}}, {{0, 0}, {0, 0}, {0, 0}}}, // turned back
                      WheelCase{{{-60, 0}, {-60, 130}}, {{0, 0}, {-1, 1}}}));               // both axes

} // namespace
} // namespace orv::preview
