#include "preview/PictureTiles.h"

#include "sheet/render/RangePicture.h"

#include <QPainter>
#include <cmath>

namespace orv::preview {

PictureTiles::PictureTiles(std::shared_ptr<sheet::RangePicture> picture)
    : mPicture(std::move(picture)), mSize(mPicture->size())
{
}

PictureTiles::~PictureTiles() = default;

void PictureTiles::paint(QPainter &painter, const QRect &target, QPoint from, double zoom, double ratio)
{
    const double scale = zoom * ratio;
    const QRect scaled(0, 0, int(std::ceil(mSize.width() * scale)), int(std::ceil(mSize.height() * scale)));
    const QRect wanted = QRectF(QPointF(from) * ratio, QSizeF(target.size()) * ratio).toAlignedRect() & scaled;
    if (wanted.isEmpty())
        return;
    const int width = kTileSize.width();
    const int height = kTileSize.height();
    for (int row = wanted.top() / height; row <= wanted.bottom() / height; ++row)
        for (int column = wanted.left() / width; column <= wanted.right() / width; ++column) {
            const QImage &image = tile(zoom, ratio, column, row);
            const QPointF at = QPointF(target.topLeft()) + QPointF(column * width, row * height) / ratio - QPointF(from);
            painter.drawImage(at, image);
        }
}

const QImage &PictureTiles::tile(double zoom, double ratio, int column, int row)
{
    for (auto kept = mTiles.begin(); kept != mTiles.end(); ++kept)
        if (kept->zoom == zoom && kept->ratio == ratio && kept->column == column && kept->row == row) {
            mTiles.splice(mTiles.begin(), mTiles, kept);
            return mTiles.front().image;
        }
    const QRect area(QPoint(column * kTileSize.width(), row * kTileSize.height()), kTileSize);
    QImage image = mPicture->render(area, zoom * ratio);
    image.setDevicePixelRatio(ratio);
    mTiles.push_front({zoom, ratio, column, row, std::move(image)});
    ++mPainted;
    mBytes += mTiles.front().image.sizeInBytes();
    while (mBytes > kCacheBytes && mTiles.size() > 1) {
        mBytes -= mTiles.back().image.sizeInBytes();
        mTiles.pop_back();
    }
    return mTiles.front().image;
}

} // namespace orv::preview
