#include "preview/Viewport.h"
#include "files/Failure.h"

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

// Pictures as the renderer makes them: the calendar is always 196 days, so
// every chart is 4,108 pixels wide; the height grows with the tasks.
constexpr std::int32_t kChartWidth = 4108 * 15;
constexpr std::int32_t kLargestHeight = 65344 * 15; // 3,400 task rows

// The unscaled box is 2 twips larger than the picture it holds.
Extent unscaledBoxOf(std::int32_t width, std::int32_t height) { return {width + 2, height + 2}; }

TEST(ViewportScaledSize, IsTheFlooredProductOfZoomAndUnscaledSize)
{
    Viewport viewport = preparedFor({10003, 2003});
    ASSERT_TRUE(viewport.setZoom(0.25f));
    viewport.computeScaledWidth();
    viewport.computeScaledHeight();
    EXPECT_EQ(viewport.scaled(), (Extent{2500, 500})); // 2500.25 and 500.25
}

// ---- scroll bar set-up ------------------------------------------------------

struct BarSetUp {
    std::int32_t overflow; // display box outer size less the frame's inner size
    bool enabled;
    std::int16_t maximum;
    std::int16_t step;
};

class ViewportInitScrollbars : public ::testing::TestWithParam<BarSetUp> {};

TEST_P(ViewportInitScrollbars, BarUnitsAreWholePixelsReachingTheLastOne)
{
    const BarSetUp &c = GetParam();
    const Viewport viewport = preparedFor({kFrameInner.width + c.overflow, kFrameInner.height + c.overflow});
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
                                           BarSetUp{1, true, 1, 15}, BarSetUp{15, true, 1, 15},
                                           BarSetUp{16, true, 2, 15}, BarSetUp{1500, true, 100, 15},
                                           BarSetUp{491505, true, 32767, 15},   // 32767 pixels
                                           BarSetUp{491506, true, 16384, 30},   // one twip more: 2 pixels a unit
                                           BarSetUp{983010, true, 32767, 30},
                                           BarSetUp{983011, true, 21845, 45}));

struct StepCase {
    std::int32_t overflow;
    std::int16_t hSingle, hPage, vSingle, vPage;
};

class ViewportArrowAndPage : public ::testing::TestWithParam<StepCase> {};

// The frame shows 620 x 493 pixels.
TEST_P(ViewportArrowAndPage, AnArrowMovesATenthOfTheVisiblePartAndTheTroughAllOfIt)
{
    const StepCase &c = GetParam();
    const Viewport viewport = preparedFor({kFrameInner.width + c.overflow, kFrameInner.height + c.overflow});
    EXPECT_EQ(viewport.bar(Axis::Horizontal).singleStep, c.hSingle);
    EXPECT_EQ(viewport.bar(Axis::Horizontal).pageStep, c.hPage);
    EXPECT_EQ(viewport.bar(Axis::Vertical).singleStep, c.vSingle);
    EXPECT_EQ(viewport.bar(Axis::Vertical).pageStep, c.vPage);
}

INSTANTIATE_TEST_SUITE_P(Steps, ViewportArrowAndPage,
                         ::testing::Values(StepCase{1500, 62, 620, 49, 493}, StepCase{600000, 31, 310, 25, 246}));

// Every part of the largest chart the renderer makes, and of a 1,200-task
// one, is reachable with the bars at every zoom.
class ViewportReach : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ViewportReach, TheLastBarValueShowsTheFarEdgeAtEveryZoom)
{
    for (int quarter = 1; quarter <= 15; ++quarter) {
        Viewport viewport = preparedFor(unscaledBoxOf(kChartWidth, GetParam()));
        ASSERT_TRUE(viewport.setZoom(static_cast<float>(quarter) / 4));
        viewport.computeScaledWidth();
        viewport.computeScaledHeight();
        viewport.showScaledSize();
        viewport.initScrollbars();
        for (Axis axis : {Axis::Horizontal, Axis::Vertical}) {
            const Extent shown = viewport.displaySize();
            const std::int32_t overflow = axis == Axis::Horizontal ? shown.width - kFrameInner.width
                                                                   : shown.height - kFrameInner.height;
            viewport.setBarValue(axis, viewport.bar(axis).maximum);
            const std::int32_t offset = axis == Axis::Horizontal ? viewport.left() : viewport.top();
            EXPECT_GE(-offset, overflow) << "zoom " << quarter / 4.0;
            EXPECT_LT(-offset - overflow, viewport.scrollStep(axis)) << "zoom " << quarter / 4.0;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TallCharts, ViewportReach, ::testing::Values(24000 * 15, kLargestHeight));

// ---- bar changes and the wheel ------------------------------------------------

class ViewportBarChange : public ::testing::Test {
protected:
    Viewport viewport = preparedFor({kFrameInner.width + 1500, kFrameInner.height + 90}); // 100 and 6 units
};

TEST_F(ViewportBarChange, PlacesTheDisplayBoxAtMinusStepTimesValue)
{
    viewport.setBarValue(Axis::Horizontal, 74);
    viewport.setBarValue(Axis::Vertical, 5);
    EXPECT_EQ(viewport.left(), -1110);
    EXPECT_EQ(viewport.top(), -75);
    EXPECT_THROW(viewport.setBarValue(Axis::Horizontal, 101), Failure);
    EXPECT_EQ(viewport.left(), -1110);
}

TEST_F(ViewportBarChange, TheValueItAlreadyHasLeavesADraggedBoxWhereItIs)
{
    viewport.startDrag(0, 0);
    viewport.moveDisplay(viewport.dragTarget(Axis::Horizontal, -733), 0);
    viewport.setBarValue(Axis::Horizontal, 0);
    EXPECT_EQ(viewport.left(), -733);
}

struct ScrollCase {
    std::int16_t from;
    std::int32_t units;
    std::int16_t to;
};

class ViewportScrollBy : public ViewportBarChange, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(ViewportScrollBy, MovesByUnitsAndStopsAtTheEnds)
{
    viewport.setBarValue(Axis::Horizontal, GetParam().from);
    viewport.scrollBy(Axis::Horizontal, GetParam().units);
    EXPECT_EQ(viewport.bar(Axis::Horizontal).value, GetParam().to);
    EXPECT_EQ(viewport.left(), -15 * GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(Units, ViewportScrollBy,
                         ::testing::Values(ScrollCase{10, 62, 72}, ScrollCase{72, -62, 10}, ScrollCase{90, 62, 100},
                                           ScrollCase{5, -62, 0}, ScrollCase{0, -1, 0}));

TEST(ViewportScrollByDisabled, ABarWithNothingToScrollDoesNotMove)
{
    Viewport viewport = preparedFor({5000, 5000});
    viewport.scrollBy(Axis::Vertical, 40);
    EXPECT_EQ(viewport.bar(Axis::Vertical).value, 0);
    EXPECT_EQ(viewport.top(), 0);
}

TEST(ViewportBarChangeFar, OffsetsBeyondSixteenBitsAreKept)
{
    Viewport viewport = preparedFor({kFrameInner.width + 491505, 1000});
    viewport.setBarValue(Axis::Horizontal, 32767);
    EXPECT_EQ(viewport.left(), -491505);
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

// ---- release: the bars follow the picture ----------------------------------------

class ViewportRelease : public ::testing::Test {
protected:
    Viewport viewport = preparedFor({kFrameInner.width + 1500, kFrameInner.height + 1500});
};

TEST_F(ViewportRelease, ThePictureStaysWhereTheDragLeftItAndTheBarsTakeTheNearestValue)
{
    viewport.moveDisplay(-733, -1500);
    viewport.followDisplay(Axis::Horizontal);
    viewport.followDisplay(Axis::Vertical);
    EXPECT_EQ(viewport.bar(Axis::Horizontal).value, 49); // 48.87
    EXPECT_EQ(viewport.bar(Axis::Vertical).value, 100);
    EXPECT_EQ(viewport.left(), -733);
    EXPECT_EQ(viewport.top(), -1500);
    // The next arrow moves on from where the picture is, not from a grid.
    viewport.scrollBy(Axis::Horizontal, 1);
    EXPECT_EQ(viewport.left(), -750);
}

TEST(ViewportReleaseNarrow, APictureNarrowerThanTheFrameKeepsItsBarAtZero)
{
    Viewport narrow = preparedFor({5000, 1000});
    narrow.moveDisplay(4300, 0);
    narrow.followDisplay(Axis::Horizontal);
    EXPECT_EQ(narrow.bar(Axis::Horizontal).value, 0);
    EXPECT_EQ(narrow.left(), 4300);
}


// ---- zoom anchoring, frozen panes and a resized frame -----------------------------

// A picture of 60,000 x 30,000 twips at zoom 1.0, in the window's first frame.
constexpr Extent kLargePicture{60000, 30000};

struct AnchorCase {
    const char *what;
    Extent frozen; // at zoom 1.0
    float from;
    float to;
    Extent at; // the anchor in the frame
    std::int32_t left, top;
    std::int32_t newLeft, newTop;
};

class ViewportAnchor : public ::testing::TestWithParam<AnchorCase> {};

// Zooms as the window does: the scaled size is shown, then the anchor is kept.
void zoomTo(Viewport &viewport, float z)
{
    ASSERT_TRUE(viewport.setZoom(z));
    viewport.computeScaledWidth();
    viewport.computeScaledHeight();
    viewport.showScaledSize();
}

Viewport largeViewport()
{
    Viewport viewport = preparedFor(unscaledBoxOf(kLargePicture.width, kLargePicture.height));
    zoomTo(viewport, 1.0f);
    viewport.initScrollbars();
    return viewport;
}

TEST_P(ViewportAnchor, ThePointUnderTheAnchorStaysThere)
{
    const AnchorCase &c = GetParam();
    Viewport viewport = largeViewport();
    viewport.setFrozen(c.frozen);
    zoomTo(viewport, c.from);
    viewport.initScrollbars();
    viewport.moveDisplay(static_cast<float>(c.left), static_cast<float>(c.top));
    const Viewport::Anchor anchor = viewport.anchorAt(c.at);
    zoomTo(viewport, c.to);
    viewport.keepAnchored(anchor);
    EXPECT_EQ(viewport.left(), c.newLeft);
    EXPECT_EQ(viewport.top(), c.newTop);
    // The bars stand for where the picture is, to within half a unit.
    for (const Axis axis : {Axis::Horizontal, Axis::Vertical}) {
        const std::int32_t offset = axis == Axis::Horizontal ? viewport.left() : viewport.top();
        EXPECT_NEAR(viewport.bar(axis).value * viewport.scrollStep(axis), -offset, viewport.scrollStep(axis) / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Zooms, ViewportAnchor,
    ::testing::Values(
        AnchorCase{"in about the centre", {}, 1.0f, 2.0f, {4650, 3697}, -1000, -2000, -6650, -7697},
        AnchorCase{"and out again", {}, 2.0f, 1.0f, {4650, 3697}, -6650, -7697, -1000, -2000},
        AnchorCase{"in at the top-left corner", {}, 1.0f, 3.75f, {0, 0}, 0, 0, 0, 0},
        AnchorCase{"out at the far end stops at the far edge", {}, 1.0f, 0.5f, {4650, 3697}, -50700, -22605,
                   9300 - 30000, 7395 - 15000},
        AnchorCase{"in over the frozen columns", {4500, 1800}, 1.0f, 2.0f, {1000, 3697}, -3000, -2000, -6000, -7697},
        AnchorCase{"in over the frozen rows", {4500, 1800}, 1.0f, 2.0f, {6000, 1000}, -3000, -2000, -12000, -4000},
        AnchorCase{"out over the frozen corner", {4500, 1800}, 2.0f, 1.0f, {100, 100}, -6000, -4000, -3000, -2000},
        // frozen columns wider than half the frame take only half of it
        AnchorCase{"in beside wide frozen columns", {6000, 1800}, 1.0f, 2.0f, {5000, 3697}, -3000, -2000, -11000, -7697}),
    [](const auto &info) {
        std::string name = info.param.what;
        std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return name;
    });

TEST(ViewportFrame, AResizedFrameKeepsThePictureWhereItCanAndRefitsTheBars)
{
    Viewport viewport = largeViewport();
    viewport.moveDisplay(-50700, -10000); // the far right edge
    viewport.setFrame({18330, 9030}, {18300, 9000});
    EXPECT_EQ(viewport.left(), 18300 - 60000);
    EXPECT_EQ(viewport.top(), -10000);
    EXPECT_EQ(viewport.bar(Axis::Horizontal).maximum, (60000 - 18300) / 15);
    EXPECT_EQ(viewport.bar(Axis::Horizontal).value, viewport.bar(Axis::Horizontal).maximum);
    viewport.setFrame({60030, 30030}, {60000, 30000});
    EXPECT_EQ(viewport.left(), 0);
    EXPECT_EQ(viewport.top(), 0);
    EXPECT_FALSE(viewport.bar(Axis::Horizontal).enabled);
}

// A page is the part that scrolls: the frame less the frozen rows.
TEST(ViewportFrame, APageLeavesOutTheFrozenRows)
{
    Viewport viewport = largeViewport();
    viewport.setFrozen({4500, 1800});
    viewport.initScrollbars();
    EXPECT_EQ(viewport.bar(Axis::Vertical).pageStep, (7395 - 1800) / 15);
}

} // namespace
} // namespace orv::preview

namespace orv::preview {
namespace {

// "Fit": the frame's inner width (9300 twips) over the picture's.
struct FitCase {
    std::int32_t displayWidth; // the picture's width is two twips less
    float zoom;
};

class ViewportFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(ViewportFit, ShowsTheWholeWidthWithinTheZoomBounds)
{
    const Viewport viewport = preparedFor({GetParam().displayWidth, 2250});
    EXPECT_FLOAT_EQ(viewport.fitWidthZoom(), GetParam().zoom);
}

INSTANTIATE_TEST_SUITE_P(Widths, ViewportFit,
                         ::testing::Values(FitCase{18602, 0.5f}, FitCase{9302, 1.0f}, FitCase{1002, 3.75f},
                                           FitCase{100002, 0.25f}));

} // namespace
} // namespace orv::preview
