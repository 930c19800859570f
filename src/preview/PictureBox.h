#pragma once

#include "preview/Viewport.h"

#include <QColor>
#include <QImage>
#include <QWidget>
#include <memory>

class QPainter;

namespace orv::preview {

class PictureTiles;

// A picture box: shows its picture, assigned or painted from the sheet, at
// the zoom given by showAt. Its position and size are set in twips; its
// children live in the area inside the border, which clips them.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent, int borderPixels = 0);

    // With auto-size on, the box takes the picture's size plus its border.
    void setPicture(const QImage &picture);
    // A picture painted from the sheet, a tile at a time; it takes the place
    // of an assigned picture.
    void setTiles(std::shared_ptr<PictureTiles> tiles);
    const std::shared_ptr<PictureTiles> &tiles() const { return mTiles; }
    // Shows the picture scaled by `zoom`, painted as it comes into view.
    void showAt(float zoom);
    const QImage &picture() const { return mPicture; }
    void setAutoSize(bool autoSize);
    void setBackground(const QColor &color);

    void moveTo(std::int32_t left, std::int32_t top);
    void setOuterSize(Extent outer);
    Extent outerSize() const { return mOuter; }
    Extent innerSize() const;

    // Paints what the box shows from its point `from` (inside the border) on
    // into `target`, with the background where it shows nothing.
    void paintShown(QPainter &painter, const QRect &target, QPoint from) const;
    // How many times the box was given a zoom to show its picture at.
    int paintCount() const { return mPaintCount; }

    QWidget *client() const { return mClient; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void sizeToPicture();

    QWidget *mClient;
    int mBorderPixels;
    QImage mPicture;
    std::shared_ptr<PictureTiles> mTiles;
    float mZoom = 1.0f;
    QColor mBackground;
    bool mAutoSize = false;
    Extent mOuter;
    int mPaintCount = 0;
};

} // namespace orv::preview
