#include "sheet/render/FillRuns.h"

#include <QPainter>

namespace orv::sheet {

void FillRuns::add(const QRect &rect, const QColor &color)
{
    const auto key = std::make_tuple(rect.left(), rect.width(), color.rgba());
    const auto found = mLast.find(key);
    if (found != mLast.end() && mRuns[found->second].rect.bottom() + 1 == rect.top()) {
        mRuns[found->second].rect.setBottom(rect.bottom());
        return;
    }
    mLast[key] = mRuns.size();
    mRuns.push_back({rect, color.rgba()});
}

void FillRuns::paint(QPainter &painter, bool byColor) const
{
    if (!byColor) {
        for (const Run &run : mRuns)
            painter.fillRect(run.rect, QColor::fromRgba(run.color));
        return;
    }
    // Colours in the order they first come, so that the output is the same every time.
    std::vector<QRgb> colors;
    std::map<QRgb, std::vector<QRect>> rects;
    for (const Run &run : mRuns) {
        std::vector<QRect> &ofColor = rects[run.color];
        if (ofColor.empty())
            colors.push_back(run.color);
        ofColor.push_back(run.rect);
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    for (QRgb color : colors) {
        painter.setBrush(QColor::fromRgba(color));
        painter.drawRects(rects[color].data(), int(rects[color].size()));
    }
    painter.restore();
}

} // namespace orv::sheet
