#pragma once

#include <cstdint>

namespace orv::preview {

// A width and a height in twips.
struct Extent {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Extent &, const Extent &) = default;
};

// A scroll bar as the viewport sees it: a 16-bit value from 0 to its maximum;
// an arrow moves it by `singleStep` units, a click in the trough by `pageStep`.
struct ScrollBarModel {
    bool enabled = false;
    std::int16_t maximum = 32767;
    std::int16_t value = 0;
    std::int16_t singleStep = 1;
    std::int16_t pageStep = 10;
};

enum class Axis { Horizontal, Vertical };

// The arithmetic of the preview's viewport, in twips and free of widgets.
//
// The frame `Picture2` clips the display box `Picture1`, which is moved to
// negative offsets to show other parts of the picture. `Zoom_Ori` holds the
// unscaled picture; the viewport only needs its inner size. The window maps
// its widgets onto this state after every step.
//
// Each step mirrors one statement of the window's handlers, so that the
// window can number them for its error report; steps that can fail throw
// orv::Failure.
class Viewport {
public:
    static constexpr float kZoomStep = 0.25f;
    static constexpr float kMinZoom = 0.25f;
    static constexpr float kMaxZoom = 3.75f;

    Viewport(Extent frameOuter, Extent frameInner);

    // The frame after the window was resized: the bars are fitted to it and
    // the display box keeps its offsets as far as the new size allows.
    void setFrame(Extent outer, Extent inner);
    // The sheet's frozen panes at zoom 1.0: the width of the frozen columns
    // and the height of the frozen rows, which stay in view while the rest
    // scrolls.
    void setFrozen(Extent unscaled) { mFrozen = unscaled; }
    // The frozen panes at the current zoom, at most half the frame each.
    Extent frozen() const;
    // The frozen panes at the current zoom, however much of the frame that is.
    Extent frozenWhole() const;

    // The display box's outer size, after it sized itself to a picture.
    void setDisplaySize(Extent outer) { mDisplayOuter = outer; }
    // The drawable area of `Zoom_Ori`.
    void setUnscaledArea(Extent inner) { mUnscaledInner = inner; }

    // Preparation.
    void resetZoomFactor() { ZoomFactor = 1.0f; }
    void readOriWidth();
    void readOriHeight();
    void scaleWidthToOri();
    void scaleHeightToOri();

    // RedrawImage.
    void computeScaledWidth();
    void computeScaledHeight();
    void showScaledSize() { mDisplayOuter = {ScaledWidth, ScaledHeight}; }
    void enableBarForScaledSize(Axis axis);

    void initScrollbars();
    // Sets the bars up for the display box's size as initScrollbars does, but
    // leaves the box where it is, moved only as far as it must to keep the
    // frame covered.
    void refitScrollbars();

    // A point of the frame (twips from its inner top-left corner) and what
    // it showed, taken before a zoom.
    struct Anchor {
        Extent at;
        float zoom = 1.0f;
        std::int32_t left = 0;
        std::int32_t top = 0;
        Extent frozen;
    };
    Anchor anchorAt(Extent at) const { return {at, ZoomFactor, mLeft, mTop, frozen()}; }
    // After a zoom: moves the display box so that the point of the picture
    // that was under the anchor is there again, then refits the bars. An
    // anchor over the frozen panes keeps the first scrolled column (row)
    // next to them instead, as the panes themselves grow or shrink.
    void keepAnchored(const Anchor &anchor);
    // The centre of the frame's inner area.
    Extent centre() const { return {mFrameInner.width / 2, mFrameInner.height / 2}; }

    // Zoom buttons: true when the new factor was taken and the picture is to
    // be redrawn.
    bool changeZoom(std::int32_t direction);
    bool setZoom(float z);
    bool canZoomIn() const { return ZoomFactor + kZoomStep <= kMaxZoom; }
    bool canZoomOut() const { return ZoomFactor - kZoomStep >= kMinZoom; }
    // "Fit": the zoom at which the picture's whole width fits the frame,
    // within the zoom levels' bounds (a picture wider than the smallest zoom
    // shows stays wider than the frame).
    float fitWidthZoom() const;

    // A bar's change handling: places the display box at -(step x value).
    // Setting the value it already has changes nothing.
    void setBarValue(Axis axis, std::int16_t value);

    // Moves a bar by `units` of its value, stopping at its ends; a disabled
    // bar does not move.
    void scrollBy(Axis axis, std::int32_t units);
    // Moves a bar to its start (0) or its end.
    void scrollToEnd(Axis axis, bool end);

    // Dragging with the mouse; coordinates inside the display box.
    void startDrag(float x, float y);
    // Where the display box goes on that axis for the pointer at `pointer`.
    float dragTarget(Axis axis, float pointer) const;
    void moveDisplay(float left, float top);
    // After a drag: the bar takes the value nearest to where the display box
    // is, and the box stays where it was left.
    void followDisplay(Axis axis);

    float zoomFactor() const { return ZoomFactor; }
    Extent ori() const { return {OriWidth, OriHeight}; }
    Extent scaled() const { return {ScaledWidth, ScaledHeight}; }
    std::int16_t scrollStep(Axis axis) const { return axis == Axis::Horizontal ? HScrollStep : VScrollStep; }
    const ScrollBarModel &bar(Axis axis) const { return axis == Axis::Horizontal ? mHScroll1 : mVScroll1; }
    std::int32_t left() const { return mLeft; }
    std::int32_t top() const { return mTop; }
    Extent displaySize() const { return mDisplayOuter; }
    Extent frameInner() const { return mFrameInner; }

private:
    void initScrollbar(Axis axis);
    void fitScrollbar(Axis axis);
    std::int32_t &offsetOf(Axis axis) { return axis == Axis::Horizontal ? mLeft : mTop; }
    ScrollBarModel &barOf(Axis axis) { return axis == Axis::Horizontal ? mHScroll1 : mVScroll1; }
    std::int16_t &stepOf(Axis axis) { return axis == Axis::Horizontal ? HScrollStep : VScrollStep; }
    static std::int32_t along(Axis axis, Extent extent)
    {
        return axis == Axis::Horizontal ? extent.width : extent.height;
    }

    Extent mFrameOuter;
    Extent mFrameInner;
    Extent mFrozen;
    Extent mDisplayOuter;
    Extent mUnscaledInner;
    std::int32_t mLeft = 0;
    std::int32_t mTop = 0;
    ScrollBarModel mHScroll1;
    ScrollBarModel mVScroll1;

    float ZoomFactor = 1.0f;
    std::int32_t OriWidth = 0;
    std::int32_t OriHeight = 0;
    std::int32_t ScaledWidth = 0;
    std::int32_t ScaledHeight = 0;
    std::int16_t HScrollStep = 0;
    std::int16_t VScrollStep = 0;
    float DragX = 0.0f;
    float DragY = 0.0f;
};

} // namespace orv::preview
