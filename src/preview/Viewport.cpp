#include "preview/Viewport.h"

#include "app/Conversions.h"
#include "preview/Twips.h"
#include "files/Failure.h"

#include <algorithm>
#include <cmath>

namespace orv::preview {

namespace {

std::int32_t floorToInt32(double value) { return toInt32(std::floor(value)); }

constexpr std::int32_t kMaxBarValue = 32767;

std::int32_t ceilDiv(std::int32_t numerator, std::int32_t denominator)
{
    return (numerator + denominator - 1) / denominator;
}

} // namespace

Viewport::Viewport(Extent frameOuter, Extent frameInner) : mFrameOuter(frameOuter), mFrameInner(frameInner) {}

void Viewport::setFrame(Extent outer, Extent inner)
{
    mFrameOuter = outer;
    mFrameInner = inner;
    refitScrollbars();
}

// Zoomed far in, the panes take at most half the frame, so that something
// always scrolls.
Extent Viewport::frozen() const
{
    return {std::min(floorToInt32(static_cast<double>(ZoomFactor) * mFrozen.width), mFrameInner.width / 2),
            std::min(floorToInt32(static_cast<double>(ZoomFactor) * mFrozen.height), mFrameInner.height / 2)};
}

Extent Viewport::frozenWhole() const
{
    return {floorToInt32(static_cast<double>(ZoomFactor) * mFrozen.width),
            floorToInt32(static_cast<double>(ZoomFactor) * mFrozen.height)};
}

// The unscaled size is the inner size of `Zoom_Ori` less 2 twips.
void Viewport::readOriWidth() { OriWidth = toInt32(static_cast<double>(mUnscaledInner.width) - 2); }

void Viewport::readOriHeight() { OriHeight = toInt32(static_cast<double>(mUnscaledInner.height) - 2); }

void Viewport::scaleWidthToOri() { ScaledWidth = floorToInt32(OriWidth * 1.0); }

void Viewport::scaleHeightToOri() { ScaledHeight = floorToInt32(OriHeight * 1.0); }

void Viewport::computeScaledWidth() { ScaledWidth = floorToInt32(static_cast<double>(ZoomFactor) * OriWidth); }

void Viewport::computeScaledHeight() { ScaledHeight = floorToInt32(static_cast<double>(ZoomFactor) * OriHeight); }

void Viewport::enableBarForScaledSize(Axis axis)
{
    barOf(axis).enabled = along(axis, mFrameInner) < along(axis, scaled());
}

void Viewport::initScrollbars()
{
    mTop = 0;
    mLeft = 0;
    initScrollbar(Axis::Horizontal);
    initScrollbar(Axis::Vertical);
}

// A bar unit is one pixel, or as many whole pixels as it takes for the far
// end of the picture to stay within the bar's 16-bit range. The maximum
// reaches the last pixel: the display box's far edge then meets the frame's
// inner edge, exactly where a drag stops. An arrow moves about a tenth of the
// visible part, the trough a whole one.
//
// A page is the part that scrolls: the frame less the frozen panes.
void Viewport::initScrollbar(Axis axis)
{
    ScrollBarModel &scrollBar = barOf(axis);
    const std::int32_t visible = along(axis, mFrameInner);
    const std::int32_t overflow = along(axis, mDisplayOuter) - visible;
    if (overflow <= 0) {
        scrollBar.enabled = false;
        stepOf(axis) = 0;
        return;
    }
    const std::int32_t step = kTwipsPerPixel * ceilDiv(overflow, kTwipsPerPixel * kMaxBarValue);
    const std::int32_t page = std::max(visible / 2, visible - along(axis, frozen()));
    scrollBar.enabled = true;
    scrollBar.maximum = checkedInt16(ceilDiv(overflow, step));
    scrollBar.pageStep = checkedInt16(std::max(1, page / step));
    scrollBar.singleStep = checkedInt16(std::max(1, (scrollBar.pageStep + 5) / 10));
    stepOf(axis) = checkedInt16(step);
    setBarValue(axis, 0);
}

void Viewport::refitScrollbars()
{
    fitScrollbar(Axis::Horizontal);
    fitScrollbar(Axis::Vertical);
}

void Viewport::fitScrollbar(Axis axis)
{
    const std::int32_t offset = offsetOf(axis);
    barOf(axis).value = 0;
    initScrollbar(axis);
    const std::int32_t farthest = std::min(0, along(axis, mFrameInner) - along(axis, mDisplayOuter));
    offsetOf(axis) = std::clamp(offset, farthest, 0);
    followDisplay(axis);
}

namespace {

// Where the display box goes on one axis so that the picture point under
// `at` stays there when the picture grows by `ratio`.
double anchoredOffset(std::int32_t at, std::int32_t offset, std::int32_t frozen, double ratio)
{
    if (at < frozen)
        return offset * ratio;
    return at - (at - static_cast<double>(offset)) * ratio;
}

} // namespace

void Viewport::keepAnchored(const Anchor &anchor)
{
    const double ratio = static_cast<double>(ZoomFactor) / anchor.zoom;
    mLeft = toInt32(std::min(0.0, anchoredOffset(anchor.at.width, anchor.left, anchor.frozen.width, ratio)));
    mTop = toInt32(std::min(0.0, anchoredOffset(anchor.at.height, anchor.top, anchor.frozen.height, ratio)));
    refitScrollbars();
}

bool Viewport::changeZoom(std::int32_t direction)
{
    const float z = direction == 0 ? ZoomFactor + kZoomStep : ZoomFactor - kZoomStep;
    return setZoom(z);
}

float Viewport::fitWidthZoom() const
{
    if (OriWidth <= 0)
        return 1.0f;
    const float fit = static_cast<float>(mFrameInner.width) / static_cast<float>(OriWidth);
    return std::clamp(fit, kMinZoom, kMaxZoom);
}

bool Viewport::setZoom(float z)
{
    if (z < kMinZoom || z > kMaxZoom)
        return false;
    ZoomFactor = z;
    return true;
}

// Offsets are formed in 32 bits: step x value passes 16 bits on any chart of
// more than a few hundred tasks.
void Viewport::setBarValue(Axis axis, std::int16_t value)
{
    ScrollBarModel &scrollBar = barOf(axis);
    if (value < 0 || value > scrollBar.maximum)
        throw Failure(QStringLiteral("Invalid property value"));
    if (value == scrollBar.value)
        return;
    scrollBar.value = value;
    const std::int32_t offset = -(static_cast<std::int32_t>(stepOf(axis)) * value);
    (axis == Axis::Horizontal ? mLeft : mTop) = offset;
}

void Viewport::scrollBy(Axis axis, std::int32_t units)
{
    const ScrollBarModel &scrollBar = barOf(axis);
    if (!scrollBar.enabled)
        return;
    const std::int32_t target = std::clamp<std::int32_t>(scrollBar.value + units, 0, scrollBar.maximum);
    setBarValue(axis, static_cast<std::int16_t>(target));
}

void Viewport::scrollToEnd(Axis axis, bool end)
{
    scrollBy(axis, end ? kMaxBarValue : -kMaxBarValue);
}

void Viewport::startDrag(float x, float y)
{
    DragX = x;
    DragY = y;
}

// The first clamp wins: a picture narrower than the viewport ends with its
// right (bottom) edge at the viewport's inner edge.
float Viewport::dragTarget(Axis axis, float pointer) const
{
    const bool horizontal = axis == Axis::Horizontal;
    float target = static_cast<float>(horizontal ? mLeft : mTop) - (horizontal ? DragX : DragY) + pointer;
    const float limit = static_cast<float>(along(axis, mFrameInner) - along(axis, mDisplayOuter));
    if (target > 0.0f)
        target = 0.0f;
    else if (limit > target)
        target = limit;
    return target;
}

void Viewport::moveDisplay(float left, float top)
{
    const std::int32_t newLeft = toInt32(left);
    const std::int32_t newTop = toInt32(top);
    mLeft = newLeft;
    mTop = newTop;
}

// The bar's value stands for the box's offset to within half a unit, so the
// next arrow or wheel step moves on from where the picture really is.
void Viewport::followDisplay(Axis axis)
{
    const std::int16_t step = stepOf(axis);
    if (step == 0)
        return;
    ScrollBarModel &scrollBar = barOf(axis);
    const double units = -static_cast<double>(axis == Axis::Horizontal ? mLeft : mTop) / step;
    scrollBar.value = static_cast<std::int16_t>(std::clamp<double>(roundHalfEven(units), 0, scrollBar.maximum));
}

} // namespace orv::preview
