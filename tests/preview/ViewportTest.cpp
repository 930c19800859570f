#include "preview/Viewport.h"
#include "sheet/Failure.h"

#include <gtest/gtest.h>

namespace orv::preview {
namespace {

constexpr Extent kFrameOuter{9330, 7425};
constexpr Extent kFrameInner{9300, 7395};

// A viewport prepared as the window does for a display box of `display`
// twips (the unscaled box has no border, so its inner size is the same).
Viewport preparedFor(Extent display)
{
    Viewport viewport(kFrameOuter, kFrameInner);
    viewport.setDisplaySize(display);
    viewport.setUnscaledArea(display);
    viewport.resetZoomFactor();
    viewport.readOriWidth();
    viewport.readOriHeight();
    viewport.scaleWidthToOri();
    viewport.scaleHeightToOri();
    viewport.initScrollbars();
    return viewport;
}

// ---- zoom levels --------------------------------------------------------

TEST(ViewportZoom, EveryLevelIsAnExactQuarterAndThereAreFifteen)
{
    Viewport viewport = preparedFor({6000, 2250});
    ASSERT_TRUE(viewport.setZoom(0.25f));
    int levels = 1;
    while (viewport.changeZoom(0)) {
        ++levels;
        EXPECT_EQ(viewport.zoomFactor() * 4.0f, static_cast<float>(levels));
    }
    EXPECT_EQ(levels, 15);
    EXPECT_EQ(viewport.zoomFactor(), 3.75f);
}

struct ZoomEnd {
    float start;
    std::int32_t direction;
};

class ViewportZoomEnds : public ::testing::TestWithParam<ZoomEnd> {};

TEST_P(ViewportZoomEnds, BeyondTheEndNothingChanges)
{
    Viewport viewport = preparedFor({6000, 2250});
    ASSERT_TRUE(viewport.setZoom(GetParam().start));
    EXPECT_FALSE(viewport.changeZoom(GetParam().direction));
    EXPECT_EQ(viewport.zoomFactor(), GetParam().start);
}

INSTANTIATE_TEST_SUITE_P(InAndOut, ViewportZoomEnds,
                         ::testing::Values(ZoomEnd{3.75f, 0}, ZoomEnd{0.25f, 1}, ZoomEnd{0.25f, -7}));

// ---- redraw limits --------------------------------------------------------

struct LimitCase {
    Extent unscaledInner;
    float zoom;
    Extent scaled;
    bool fits;
};

class ViewportRedrawLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ViewportRedrawLimits, ScaledSizeIsFlooredAndComparedStrictly)
{
    const LimitCase &c = GetParam();
    Viewport viewport = preparedFor(c.unscaledInner);
    ASSERT_TRUE(viewport.setZoom(c.zoom));
    viewport.computeScaledWidth();
    viewport.computeScaledHeight();
    EXPECT_EQ(viewport.scaled(), c.scaled);
    EXPECT_EQ(viewport.fitsRedrawLimits(), c.fits);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, ViewportRedrawLimits,
    ::testing::Values(LimitCase{{53701, 1000}, 1.0f, {53699, 998}, true},
                      LimitCase{{53702, 1000}, 1.0f, {53700, 998}, false},
                      LimitCase{{1000, 4901}, 1.0f, {998, 4899}, true},
                      LimitCase{{1000, 4902}, 1.0f, {998, 4900}, false},
                      LimitCase{{10003, 2003}, 0.25f, {2500, 500}, true},     // 2500.25 and 500.25 floored
                      LimitCase{{60000, 3300}, 0.75f, {44998, 2473}, true},   // 2473.5 floored
                      LimitCase{{60000, 3300}, 1.25f, {74997, 4122}, false})); // 74997.5 floored

// ---- scroll bar set-up ------------------------------------------------------

struct BarSetUp {
    std::int32_t overflow; // display box outer width less the frame's
    bool enabled;
    std::int16_t maximum;
    std::int16_t step;
};

class ViewportInitScrollbars : public ::testing::TestWithParam<BarSetUp> {};

TEST_P(ViewportInitScrollbars, MaximumAndStepFollowTheOverflow)
{
    const BarSetUp &c = GetParam();
    const Viewport viewport = preparedFor({kFrameOuter.width + c.overflow, kFrameOuter.height + c.overflow});
    for (Axis axis : {Axis::Horizontal, Axis::Vertical}) {
        EXPECT_EQ(viewport.bar(axis).enabled, c.enabled);
        EXPECT_EQ(viewport.scrollStep(axis), c.step);
        if (c.enabled) {
            EXPECT_EQ(viewport.bar(axis).maximum, c.maximum);
            EXPECT_EQ(viewport.bar(axis).value, 0);
        }
    }
    EXPECT_EQ(viewport.left(), 0);
    EXPECT_EQ(viewport.top(), 0);
}

INSTANTIATE_TEST_SUITE_P(Overflows, ViewportInitScrollbars,
                         ::testing::Values(BarSetUp{-4000, false, 0, 0}, BarSetUp{0, false, 0, 0},
                                           BarSetUp{1, true, 1, 1}, BarSetUp{100, true, 100, 1},
                                           BarSetUp{101, true, 10, 10},      // 10.1
                                           BarSetUp{105, true, 10, 10},      // 10.5 to the even 10
                                           BarSetUp{115, true, 12, 10},      // 11.5 to the even 12
                                           BarSetUp{1500, true, 150, 10},
                                           BarSetUp{327674, true, 32767, 10}));

TEST(ViewportInitScrollbarsOverflow, ATooLargeMaximumEndsTheSetUpBeforeTheVerticalBar)
{
    Viewport viewport(kFrameOuter, kFrameInner);
    viewport.setDisplaySize({kFrameOuter.width + 327675, kFrameOuter.height + 1500}); // 32767.5 rounds to 32768
    try {
        viewport.initScrollbars();
        FAIL() << "expected an overflow";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.description(), QStringLiteral("Overflow"));
    }
    EXPECT_EQ(viewport.scrollStep(Axis::Horizontal), 0);
    EXPECT_FALSE(viewport.bar(Axis::Vertical).enabled);
    EXPECT_EQ(viewport.scrollStep(Axis::Vertical), 0);
}

// ---- bar changes ---------------------------------------------------------------

class ViewportBarChange : public ::testing::Test {
protected:
    Viewport viewport = preparedFor({kFrameOuter.width + 1500, kFrameOuter.height + 80});
};

TEST_F(ViewportBarChange, PlacesTheDisplayBoxAtMinusStepTimesValue)
{
    viewport.setBarValue(Axis::Horizontal, 74);
    viewport.setBarValue(Axis::Vertical, 33);
    EXPECT_EQ(viewport.left(), -740);
    EXPECT_EQ(viewport.top(), -33);
    EXPECT_THROW(viewport.setBarValue(Axis::Horizontal, 151), Failure);
    EXPECT_EQ(viewport.left(), -740);
}

TEST_F(ViewportBarChange, TheValueItAlreadyHasLeavesADraggedBoxWhereItIs)
{
    viewport.startDrag(0, 0);
    viewport.moveDisplay(viewport.dragTarget(Axis::Horizontal, -733), 0);
    viewport.setBarValue(Axis::Horizontal, 0);
    EXPECT_EQ(viewport.left(), -733);
}

TEST(ViewportBarChangeFar, OffsetsBeyondSixteenBitsAreKept)
{
    Viewport viewport = preparedFor({kFrameOuter.width + 327670, 1000});
    viewport.setBarValue(Axis::Horizontal, 32767);
    EXPECT_EQ(viewport.left(), -327670);
}

// ---- dragging -------------------------------------------------------------------

struct DragCase {
    std::int32_t displayWidth;
    float pointerTo; // the pointer moves here from 5000, inside the box
    float left;
};

class ViewportDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(ViewportDrag, TheNewLeftIsClampedFirstAtZeroThenAtTheInnerEdge)
{
    const DragCase &c = GetParam();
    Viewport viewport = preparedFor({c.displayWidth, 1000});
    viewport.startDrag(5000, 500);
    EXPECT_EQ(viewport.dragTarget(Axis::Horizontal, c.pointerTo), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Clamps, ViewportDrag,
    ::testing::Values(DragCase{12000, 4000, -1000},   // grabbed point follows the pointer
                      DragCase{12000, 6000, 0},       // beyond the top-left corner
                      DragCase{12000, -90000, -2700}, // far edge at the frame's inner edge (9300 - 12000)
                      DragCase{5000, 4000, 4300},     // narrower than the frame: right edge at the right edge
                      DragCase{5000, 6000, 0}));

TEST(ViewportDragVertical, UsesTheHeightsAndTheGrabbedY)
{
    Viewport viewport = preparedFor({12000, 10000});
    viewport.startDrag(0, 1000);
    EXPECT_EQ(viewport.dragTarget(Axis::Vertical, 400), -600);
    EXPECT_EQ(viewport.dragTarget(Axis::Vertical, 1200), 0);
    EXPECT_EQ(viewport.dragTarget(Axis::Vertical, -9000), 7395 - 10000);
}

// ---- release: percentages and bars --------------------------------------------------

class ViewportRelease : public ::testing::Test {
protected:
    Viewport viewport = preparedFor({kFrameOuter.width + 1500, kFrameOuter.height + 1500});
};

TEST_F(ViewportRelease, SettlesOnTheBarGrid)
{
    ASSERT_EQ(viewport.bar(Axis::Horizontal).maximum, 150);
    viewport.moveDisplay(-733, 0);
    const std::int32_t px = viewport.dragPercent(Axis::Horizontal);
    EXPECT_EQ(px, 49); // 48.87
    viewport.setScrollbarByPercent(Axis::Horizontal, static_cast<std::int16_t>(px));
    EXPECT_EQ(viewport.bar(Axis::Horizontal).value, 74); // 73.5 to the even 74
    EXPECT_EQ(viewport.left(), -740);
}

TEST_F(ViewportRelease, AboveHundredPercentTheBarKeepsItsValue)
{
    viewport.setBarValue(Axis::Vertical, 20);
    viewport.moveDisplay(0, -1530);
    EXPECT_EQ(viewport.dragPercent(Axis::Vertical), 102);
    viewport.setScrollbarByPercent(Axis::Vertical, 102);
    EXPECT_EQ(viewport.bar(Axis::Vertical).value, 20);
    EXPECT_EQ(viewport.top(), -1530);
}

TEST_F(ViewportRelease, ANegativePercentChangesNothing)
{
    viewport.setBarValue(Axis::Horizontal, 5);
    viewport.setScrollbarByPercent(Axis::Horizontal, -1);
    EXPECT_EQ(viewport.bar(Axis::Horizontal).value, 5);
}

TEST(ViewportReleaseSameSize, AnAxisWithNothingToScrollCountsAsZeroPercent)
{
    const Viewport viewport = preparedFor(kFrameOuter);
    EXPECT_EQ(viewport.dragPercent(Axis::Horizontal), 0);
    EXPECT_EQ(viewport.dragPercent(Axis::Vertical), 0);
}

} // namespace
} // namespace orv::preview
