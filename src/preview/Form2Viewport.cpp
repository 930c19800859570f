// The preview window's viewport: preparation, redraw, zoom, scroll bars and
// drag-panning. The arithmetic lives in Viewport; this maps it onto widgets.
#include "app/Conversions.h"
#include "app/ReportingOperation.h"
#include "preview/Form2.h"
#include "preview/FrozenPane.h"
#include "preview/PictureBox.h"
#include "preview/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace orv::preview {

namespace {

float twipsOf(qreal pixels) { return static_cast<float>(pixels * kTwipsPerPixel); }

void showBar(QScrollBar &widget, const ScrollBarModel &bar)
{
    const QSignalBlocker quiet(widget);
    widget.setRange(0, bar.maximum);
    widget.setSingleStep(bar.singleStep);
    widget.setPageStep(bar.pageStep);
    widget.setValue(bar.value);
    widget.setEnabled(bar.enabled);
}

} // namespace

// The preparation for a new picture. The picture boxes always keep what is
// painted into them, so persistent drawing needs no switching on.
void Form2::prepareViewport(ReportingOperation &op)
{
    mSavedAs.clear();
    op(106, [&] {
        Picture1->setAutoSize(true);
        mViewport.setDisplaySize(Picture1->outerSize());
    });
    op(110, [&] { Picture1->setBackground(Qt::white); });
    op(116, [&] { Zoom_Ori->hide(); });
    op(118, [&] { Zoom_Ori->setOuterSize({Picture1->outerSize().width, Zoom_Ori->outerSize().height}); });
    op(120, [&] { Zoom_Ori->setOuterSize({Zoom_Ori->outerSize().width, Picture1->outerSize().height}); });
    op(122, [&] {
        if (Picture1->tiles())
            Zoom_Ori->setTiles(Picture1->tiles());
        else
            Zoom_Ori->setPicture(Picture1->picture());
    });
    op(124, [&] { mViewport.resetZoomFactor(); });
    op(126, [&] {
        mViewport.setUnscaledArea(Zoom_Ori->innerSize());
        mViewport.readOriWidth();
    });
    op(128, [&] { mViewport.readOriHeight(); });
    op(130, [&] { mViewport.scaleWidthToOri(); });
    op(132, [&] { mViewport.scaleHeightToOri(); });
    op(134, [&] { RedrawImage(); });
    op(136, [&] { InitScrollbars(); });
    op.more([&] {
        showZoomLevel();
        announceChart();
    });
}

// The picture is painted as it comes into view, at any zoom: no zoom is
// refused for the size of the picture.
void Form2::RedrawImage()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.RedrawImage "));
    op(100, [&] { mViewport.computeScaledWidth(); });
    op(102, [&] { mViewport.computeScaledHeight(); });
    op(108, [&] {
        mViewport.showScaledSize();
        Picture1->setOuterSize(mViewport.displaySize());
    });
    op(112, [&] { Picture1->showAt(mViewport.zoomFactor()); });
    op(114, [&] { setMousePointer(PointerSetting::Default); });
    op(116, [&] { mViewport.setBarValue(Axis::Horizontal, 0); });
    op(118, [&] { mViewport.setBarValue(Axis::Vertical, 0); });
    op(120, [&] { mViewport.enableBarForScaledSize(Axis::Horizontal); });
    op(122, [&] { mViewport.enableBarForScaledSize(Axis::Vertical); });
    syncViewport();
}

void Form2::releasePictures()
{
    Picture1->setPicture(QImage());
    Zoom_Ori->setPicture(QImage());
}

void Form2::InitScrollbars()
{
    try {
        mViewport.initScrollbars();
    } catch (...) {
        syncViewport(); // the bars set up before the failure stay set up
        throw;
    }
    syncViewport();
}

void Form2::ChangeZoom(std::int32_t direction)
{
    const float step = direction == 0 ? Viewport::kZoomStep : -Viewport::kZoomStep;
    zoomAround(mViewport.zoomFactor() + step, mViewport.centre());
}

// A zoom keeps the anchored point in place.
void Form2::zoomAround(float z, Extent at)
{
    const Viewport::Anchor anchor = mViewport.anchorAt(at);
    if (z == mViewport.zoomFactor() || !mViewport.setZoom(z))
        return;
    RedrawImage();
    mViewport.keepAnchored(anchor);
    syncViewport();
    showZoomLevel();
}

void Form2::showZoomLevel()
{
    Label1->setText(QStringLiteral("%1 %").arg(qRound(mViewport.zoomFactor() * 100)));
    announceZoom();
    PushButton1->setEnabled(mViewport.canZoomIn());
    PushButton2->setEnabled(mViewport.canZoomOut());
}

void Form2::scrollBy(Axis axis, int units)
{
    mViewport.scrollBy(axis, units);
    syncViewport();
}

void Form2::scrollToEnd(Axis axis, bool end)
{
    mViewport.scrollToEnd(axis, end);
    syncViewport();
}

void Form2::PushButton1_Click()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.PushButton1_Click "));
    op(100, [&] { ChangeZoom(0); });
}

void Form2::PushButton2_Click()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.PushButton2_Click "));
    op(100, [&] { ChangeZoom(1); });
}

void Form2::HScroll1_Change(int value)
{
    mViewport.setBarValue(Axis::Horizontal, static_cast<std::int16_t>(value));
    syncViewport();
}

void Form2::VScroll1_Change(int value)
{
    mViewport.setBarValue(Axis::Vertical, static_cast<std::int16_t>(value));
    syncViewport();
}

void Form2::Picture1_MouseDown(QMouseEvent *event)
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.picture1_MouseDown "));
    const float x = twipsOf(event->position().x());
    const float y = twipsOf(event->position().y());
    op(100, [&] { mViewport.startDrag(x, y); });
}

void Form2::Picture1_MouseMove(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton)
        return;
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.picture1_MouseMove "));
    float newLeft = 0.0f;
    float newTop = 0.0f;
    op(104, [&] { newLeft = mViewport.dragTarget(Axis::Horizontal, twipsOf(event->position().x())); });
    op(114, [&] { newTop = mViewport.dragTarget(Axis::Vertical, twipsOf(event->position().y())); });
    op(124, [&] { mViewport.moveDisplay(newLeft, newTop); });
    syncViewport();
}

// The bars follow the picture to where the drag left it; the picture stays.
void Form2::Picture1_MouseUp()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.Picture1_MouseUp "));
    op(100, [&] { mViewport.followDisplay(Axis::Horizontal); });
    op(102, [&] { mViewport.followDisplay(Axis::Vertical); });
    syncViewport();
}

// The wheel scrolls down and up, with Shift across; each notch moves as far
// as the desktop's wheel lines of arrow clicks. Ctrl+wheel zooms a step a
// notch, as the buttons do, about the point under the mouse.
void Form2::Picture1_MouseWheel(QWheelEvent *event)
{
    const bool zoom = event->modifiers().testFlag(Qt::ControlModifier);
    QPoint angle = event->angleDelta();
    if (!zoom && event->modifiers().testFlag(Qt::ShiftModifier) && angle.x() == 0)
        angle = QPoint(angle.y(), 0);
    const QPoint notches = mWheel.add(angle);
    if (zoom) {
        const QPointF at = Picture2->client()->mapFromGlobal(event->globalPosition());
        const Extent anchor{toTwips(qRound(at.x())), toTwips(qRound(at.y()))};
        ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.Picture1_MouseWheel "));
        for (int notch = 0; notch != notches.y(); notch += notches.y() > 0 ? 1 : -1) {
            const float step = notches.y() > 0 ? Viewport::kZoomStep : -Viewport::kZoomStep;
            op(100, [&] { zoomAround(mViewport.zoomFactor() + step, anchor); });
        }
        return;
    }
    const int lines = QApplication::wheelScrollLines();
    mViewport.scrollBy(Axis::Horizontal, -notches.x() * lines * mViewport.bar(Axis::Horizontal).singleStep);
    mViewport.scrollBy(Axis::Vertical, -notches.y() * lines * mViewport.bar(Axis::Vertical).singleStep);
    syncViewport();
}

void Form2::syncViewport()
{
    Picture1->setOuterSize(mViewport.displaySize());
    Picture1->moveTo(mViewport.left(), mViewport.top());
    // A frozen part larger than its share of the frame keeps its foot (the
    // dates) in the panes, also at the picture's start; the scrolled part
    // then starts right after the panes, so that no frozen row or column
    // shows a second time and the plan's first rows are in view.
    const FrozenLayout layout = frozenLayout();
    QPoint at = Picture1->pos();
    if (layout.paneHeight > 0)
        at.setY(std::min(at.y(), layout.paneHeight - layout.whole.height()));
    if (layout.paneWidth > 0)
        at.setX(std::min(at.x(), layout.paneWidth - layout.whole.width()));
    Picture1->move(at);
    showBar(*HScroll1, mViewport.bar(Axis::Horizontal));
    showBar(*VScroll1, mViewport.bar(Axis::Vertical));
    showFrozenPanes();
}

// The panes cover the frozen part of the frame, as far as the picture
// reaches; the top one follows the picture across, the left one down. Along
// an axis on which the picture is not scrolled (it is shown from its start,
// or smaller than the frame and moved in) its frozen part is where it is
// anyway and needs no pane, unless it crowds the plan out of the frame.
//
// Zoomed in so far that the frozen part takes more than its share of the
// frame, the panes keep what tells the rows and days apart: the top rows
// give way to the row of day dates at their foot, and the names give up
// their end to the kept columns (the dates), which stay whole.
Form2::FrozenLayout Form2::frozenLayout() const
{
    const QPoint offset = Picture1->pos();
    const QSize frame = Picture2->client()->size();
    FrozenLayout layout;
    layout.whole = QSize(toPixels(mViewport.frozenWhole().width), toPixels(mViewport.frozenWhole().height));
    const QSize capped(toPixels(mViewport.frozen().width), toPixels(mViewport.frozen().height));
    const double zoom = mViewport.zoomFactor();
    layout.kept = qRound(mKept.width * zoom);
    layout.keptFrom = qRound(mKept.left * zoom);
    // The kept columns may widen the panes to three quarters of the frame,
    // with a quarter of it left to the names.
    const int keptPane = std::min(layout.kept + frame.width() / 4, frame.width() * 3 / 4);
    const int paneWidth = std::min(layout.whole.width(), std::max(capped.width(), keptPane));
    // At the picture's start the panes take over once the frozen columns
    // are wider than the frame, or the frozen rows would leave the plan's
    // rows less than a quarter of it.
    const bool crowdedAcross = layout.whole.width() > frame.width();
    const bool crowdedDown = layout.whole.height() > frame.height() * 3 / 4;
    layout.paneWidth = offset.x() < 0 || crowdedAcross ? paneWidth : 0;
    layout.paneHeight = offset.y() < 0 || crowdedDown ? capped.height() : 0;
    layout.hiddenTop = std::max(0, layout.whole.height() - layout.paneHeight);
    if (layout.whole.width() <= layout.paneWidth)
        layout.kept = 0;
    layout.kept = std::min(layout.kept, layout.paneWidth);
    layout.names = layout.paneWidth - layout.kept;
    return layout;
}

QPoint Form2::pictureShownAt(QPoint inFrame) const
{
    const FrozenLayout layout = frozenLayout();
    const QPoint offset = Picture1->pos();
    int x = inFrame.x() - offset.x();
    if (inFrame.x() < layout.names)
        x = inFrame.x();
    else if (inFrame.x() < layout.paneWidth)
        x = layout.keptFrom + inFrame.x() - layout.names;
    const int y = inFrame.y() < layout.paneHeight ? layout.hiddenTop + inFrame.y() : inFrame.y() - offset.y();
    return {x, y};
}

void Form2::showFrozenPanes()
{
    const FrozenLayout layout = frozenLayout();
    const QPoint offset = Picture1->pos();
    const QSize frame = Picture2->client()->size();
    const int right = std::min(frame.width(), offset.x() + Picture1->width());
    const int bottom = std::min(frame.height(), offset.y() + Picture1->height());
    const int names = layout.names;
    const int kept = layout.kept;
    const int paneWidth = layout.paneWidth;
    const int paneHeight = layout.paneHeight;
    const QPoint keptFrom(layout.keptFrom, 0);
    const auto shown = [](bool shows, const QRect &place) { return shows ? place : QRect(); };
    mCornerPane->showPart(shown(names > 0 && paneHeight > 0, QRect(0, 0, names, paneHeight)), {0, layout.hiddenTop});
    mCornerKeptPane->showPart(shown(kept > 0 && paneHeight > 0, QRect(names, 0, kept, paneHeight)),
                              keptFrom + QPoint(0, layout.hiddenTop));
    mTopPane->showPart(shown(paneHeight > 0, QRect(QPoint(paneWidth, 0), QPoint(right - 1, paneHeight - 1))),
                       {paneWidth - offset.x(), layout.hiddenTop});
    const int leftTop = paneHeight - offset.y();
    mLeftPane->showPart(shown(names > 0, QRect(QPoint(0, paneHeight), QPoint(names - 1, bottom - 1))), {0, leftTop});
    mLeftKeptPane->showPart(shown(kept > 0, QRect(QPoint(names, paneHeight), QPoint(paneWidth - 1, bottom - 1))),
                            keptFrom + QPoint(0, leftTop));
}

} // namespace orv::preview
