#include "sheet/render/LineStrips.h"

#include <QPainter>

namespace orv::sheet {

void LineStrips::add(const QRect &strip, const QColor &color)
{
    if (!mBatched) {
        mPainter.fillRect(strip, color);
        return;
    }
    if (!mStretch.runs().empty() && color.rgba() != mColor)
        finish();
    mColor = color.rgba();
    mStretch.add(strip, color);
}

// Each strip is a path of its own: viewers widen a lone thin rectangle to a
// whole pixel, but draw thin rectangles that share a path faintly.
void LineStrips::finish()
{
    if (mStretch.runs().empty())
        return;
    mPainter.save();
    mPainter.setPen(Qt::NoPen);
    mPainter.setBrush(QColor::fromRgba(mColor));
    for (const FillRuns::Run &run : mStretch.runs())
        mPainter.drawRect(run.rect);
    mPainter.restore();
    mStretch = FillRuns();
}

} // namespace orv::sheet
