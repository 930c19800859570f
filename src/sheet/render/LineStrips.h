#pragma once

#include "sheet/render/FillRuns.h"

#include <QColor>
#include <QRect>

class QPainter;

namespace orv::sheet {

// The one-pixel strips that border lines are drawn with, filled in the order
// they come. Painted one by one, or, `batched`, each stretch of strips of one
// colour with that colour set once, a strip that continues the one above
// joined to it: devices such as a PDF writer pay for every shape and every
// change of colour. Strips of another colour are never moved past each
// other, so the strip that comes last still wins where strips meet. Call
// finish() before the painter's state changes.
class LineStrips {
public:
    LineStrips(QPainter &painter, bool batched) : mPainter(painter), mBatched(batched) {}

    void add(const QRect &strip, const QColor &color);
    void finish();

private:
    QPainter &mPainter;
    bool mBatched;
    QRgb mColor = 0;
    FillRuns mStretch; // strips of mColor since the last change of colour
};

} // namespace orv::sheet
