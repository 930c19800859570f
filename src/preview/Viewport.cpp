#include "preview/Viewport.h"

#include "app/Conversions.h"
#include "sheet/Failure.h"

#include <cmath>

namespace orv::preview {

namespace {

std::int32_t floorToInt32(double value) { return toInt32(std::floor(value)); }

} // namespace

Viewport::Viewport(Extent frameOuter, Extent frameInner) : mFrameOuter(frameOuter), mFrameInner(frameInner) {}

// The unscaled size is the inner size of `Zoom_Ori` less 2 twips.
void Viewport::readOriWidth() { OriWidth = toInt32(static_cast<double>(mUnscaledInner.width) - 2); }

void Viewport::readOriHeight() { OriHeight = toInt32(static_cast<double>(mUnscaledInner.height) - 2); }

void Viewport::scaleWidthToOri() { ScaledWidth = floorToInt32(OriWidth * 1.0); }

void Viewport::scaleHeightToOri() { ScaledHeight = floorToInt32(OriHeight * 1.0); }

void Viewport::computeScaledWidth() { ScaledWidth = floorToInt32(static_cast<double>(ZoomFactor) * OriWidth); }

void Viewport::computeScaledHeight() { ScaledHeight = floorToInt32(static_cast<double>(ZoomFactor) * OriHeight); }

// The limits bound the image that a redraw keeps in memory.
bool Viewport::fitsRedrawLimits() const
{
    return ScaledWidth < kRedrawWidthLimit && ScaledHeight < kRedrawHeightLimit;
}

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

// Overflows up to 100 twips scroll by single twips, larger ones by ten. A
// maximum that does not fit 16 bits ends the set-up with "Overflow".
void Viewport::initScrollbar(Axis axis)
{
    ScrollBarModel &scrollBar = barOf(axis);
    const std::int32_t display = along(axis, mDisplayOuter);
    const std::int32_t frame = along(axis, mFrameOuter);
    if (display <= frame) {
        scrollBar.enabled = false;
        stepOf(axis) = 0;
        return;
    }
    const float overflow = static_cast<float>(display - frame);
    scrollBar.enabled = true;
    const bool fine = overflow <= 100.0f;
    scrollBar.maximum = toInt16(fine ? overflow : overflow / 10.0f);
    stepOf(axis) = fine ? 1 : 10;
    setBarValue(axis, 0);
}

bool Viewport::changeZoom(std::int32_t direction)
{
    const float z = direction == 0 ? ZoomFactor + kZoomStep : ZoomFactor - kZoomStep;
    return setZoom(z);
}

bool Viewport::setZoom(float z)
{
    if (z < kMinZoom || z > kMaxZoom)
        return false;
    ZoomFactor = z;
    return true;
}

// Offsets are formed in 32 bits so that the far end of a wide chart can be
// reached with step 10.
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

// A display box as large as the frame has nothing to scroll: a plain click
// on it counts as 0 percent.
std::int32_t Viewport::dragPercent(Axis axis) const
{
    const std::int32_t span = along(axis, mDisplayOuter) - along(axis, mFrameOuter);
    if (span == 0)
        return 0;
    const double offset = std::abs(static_cast<double>(axis == Axis::Horizontal ? mLeft : mTop));
    return toInt32(offset / span * 100.0);
}

// Above 100 percent (after a drag to the far edge) the bar keeps its value.
void Viewport::setScrollbarByPercent(Axis axis, std::int16_t percent)
{
    if (percent < 0)
        return;
    const std::int16_t maximum = barOf(axis).maximum;
    const double v = percent / 100.0 * maximum;
    if (v > maximum)
        return;
    setBarValue(axis, toInt16(v));
}

} // namespace orv::preview
