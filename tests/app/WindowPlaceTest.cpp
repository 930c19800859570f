#include "app/WindowPlace.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(WindowPlace, ComesBackAsItWasKept)
{
    for (const WindowPlace &place : {WindowPlace{{-20, 30, 900, 700}, false}, WindowPlace{{0, 0, 616, 426}, true}}) {
        const std::optional<WindowPlace> back = WindowPlace::decoded(place.encoded());
        ASSERT_TRUE(back.has_value()) << place.encoded().toStdString();
        EXPECT_EQ(back->normal, place.normal);
        EXPECT_EQ(back->maximized, place.maximized);
    }
}

class NoPlace : public ::testing::TestWithParam<const char *> {};

TEST_P(NoPlace, IsReadFromTextThatIsNone)
{
    EXPECT_FALSE(WindowPlace::decoded(QString::fromUtf8(GetParam())).has_value());
}

INSTANTIATE_TEST_SUITE_P(Texts, NoPlace,
                         ::testing::Values("", "1,2,3", "1,2,3,4,5", "1,2,3,4,minimized", "a,2,3,4", "1,2,0,400",
                                           "1,2,600,-4", "1,2,3,4,maximized,x", "99999999999,2,600,400"));

struct Placing {
    QRect kept;
    QRect placed;
};

class OnScreens : public ::testing::TestWithParam<Placing> {};

// Two screens side by side, the second one smaller.
TEST_P(OnScreens, AWindowComesBackWhollyOnAScreen)
{
    const QList<QRect> screens{{0, 0, 1920, 1040}, {1920, 0, 1280, 984}};
    EXPECT_EQ(placeOnScreens(GetParam().kept, screens), GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(
    Places, OnScreens,
    ::testing::Values(Placing{{100, 80, 900, 700}, {100, 80, 900, 700}},
                      Placing{{2000, 100, 900, 700}, {2000, 100, 900, 700}},
                      Placing{{1800, 100, 900, 700}, {1920, 100, 900, 700}}, // centre on the second screen
                      Placing{{2600, 500, 900, 700}, {2300, 284, 900, 700}},
                      Placing{{5000, 100, 900, 700}, {1020, 100, 900, 700}}, // that screen is gone
                      Placing{{1930, 10, 1600, 1200}, {1920, 0, 1280, 984}}));

} // namespace
} // namespace orv
