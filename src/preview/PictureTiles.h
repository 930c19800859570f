#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <list>
#include <memory>

class QPainter;

namespace orv::sheet {
class RangePicture;
}

namespace orv::preview {

// The chart picture painted from the sheet a tile at a time, at the scale it
// is shown at: the zoom times the screen's device pixel ratio, so that text
// stays sharp at every zoom and on every screen. The tiles last shown are
// kept, up to a fixed number of bytes, so that scrolling paints only what
// comes into view and zooming back finds its tiles again.
class PictureTiles {
public:
    // Device pixels of a tile: wide, since a row of the sheet is painted
    // whole whatever part of it is wanted.
    static constexpr QSize kTileSize{512, 256};
    static constexpr qint64 kCacheBytes = qint64(48) << 20;

    explicit PictureTiles(std::shared_ptr<sheet::RangePicture> picture);
    ~PictureTiles();

    sheet::RangePicture &picture() const { return *mPicture; }
    // The picture's size at zoom 1.0, in pixels.
    QSize size() const { return mSize; }

    // Paints the picture at `zoom` into `target` of `painter`: the part that
    // starts at `from` (pixels of the zoomed picture). The painter's device
    // has `ratio` device pixels to a pixel.
    void paint(QPainter &painter, const QRect &target, QPoint from, double zoom, double ratio);
    // How many tiles have been painted from the sheet so far.
    int tilesPainted() const { return mPainted; }

private:
    struct Tile {
        double zoom;
        double ratio;
        int column;
        int row;
        QImage image;
    };
    const QImage &tile(double zoom, double ratio, int column, int row);

    std::shared_ptr<sheet::RangePicture> mPicture;
    QSize mSize;
    std::list<Tile> mTiles; // the most recently shown first
    qint64 mBytes = 0;
    int mPainted = 0;
};

} // namespace orv::preview
