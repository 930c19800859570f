#include "preview/PictureBox.h"

#include "preview/PictureTiles.h"
#include "preview/Twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace orv::preview {

PictureBox::PictureBox(QWidget *parent, int borderPixels)
    : QWidget(parent), mClient(new QWidget(this)), mBorderPixels(borderPixels),
      mBackground(palette().color(QPalette::Button))
{
    mClient->move(borderPixels, borderPixels);
    // The client covers the box: mouse events it does not take travel on to
    // the box, where they stop.
    setAttribute(Qt::WA_NoMousePropagation);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QImage &picture)
{
    mPicture = picture;
    mTiles.reset();
    mZoom = 1.0f;
    if (mAutoSize)
        sizeToPicture();
    update();
}

void PictureBox::setTiles(std::shared_ptr<PictureTiles> tiles)
{
    setPicture(QImage());
    mTiles = std::move(tiles);
    mZoom = 1.0f;
    if (mAutoSize)
        sizeToPicture();
    update();
}

void PictureBox::showAt(float zoom)
{
    mZoom = zoom;
    ++mPaintCount;
    update();
}

void PictureBox::setAutoSize(bool autoSize)
{
    mAutoSize = autoSize;
    if (mAutoSize)
        sizeToPicture();
}

void PictureBox::sizeToPicture()
{
    const QSize size = mTiles ? mTiles->size() : mPicture.size();
    if (size.isEmpty())
        return;
    const int border = 2 * mBorderPixels;
    setOuterSize({toTwips(size.width() + border), toTwips(size.height() + border)});
}

void PictureBox::setBackground(const QColor &color)
{
    mBackground = color;
    update();
}

void PictureBox::moveTo(std::int32_t left, std::int32_t top) { move(toPixels(left), toPixels(top)); }

void PictureBox::setOuterSize(Extent outer)
{
    mOuter = outer;
    resize(std::max(0, toPixels(outer.width)), std::max(0, toPixels(outer.height)));
    mClient->resize(std::max(0, width() - 2 * mBorderPixels), std::max(0, height() - 2 * mBorderPixels));
}

Extent PictureBox::innerSize() const
{
    const std::int32_t border = toTwips(2 * mBorderPixels);
    return {mOuter.width - border, mOuter.height - border};
}

// Only the exposed part is painted, straight from the held image: moving the
// box never scales anything.
void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QPoint border(mBorderPixels, mBorderPixels);
    paintShown(painter, event->rect(), event->rect().topLeft() - border);
    if (mBorderPixels > 0) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBox::paintShown(QPainter &painter, const QRect &target, QPoint from) const
{
    painter.fillRect(target, mBackground);
    if (mTiles) {
        mTiles->paint(painter, target, from, mZoom, painter.device()->devicePixelRatioF());
        return;
    }
    if (mPicture.isNull())
        return;
    const QRectF shown = QRectF(QPointF(0, 0), QSizeF(mPicture.size()) * mZoom).intersected(QRectF(from, target.size()));
    if (shown.isEmpty())
        return;
    const QRectF source(shown.topLeft() / mZoom, shown.size() / mZoom);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(shown.translated(target.topLeft() - from), mPicture, source);
}

} // namespace orv::preview
