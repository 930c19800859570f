#pragma once

#include <QColor>
#include <QRect>
#include <map>
#include <tuple>
#include <vector>

class QPainter;

namespace orv::sheet {

// Rectangles to fill, each in one colour, gathered row by row from the top:
// a rectangle that continues one of the same colour, left edge and width
// straight down is joined to it, so that a column of equal cells becomes
// one rectangle. The rectangles must not overlap.
class FillRuns {
public:
    struct Run {
        QRect rect;
        QRgb color;
        bool operator==(const Run &) const = default;
    };

    void add(const QRect &rect, const QColor &color);
    const std::vector<Run> &runs() const { return mRuns; }
    // Fills every rectangle: one by one, or, `byColor`, all rectangles of a
    // colour in one call, for devices that pay for every change of colour.
    void paint(QPainter &painter, bool byColor) const;

private:
    std::vector<Run> mRuns;
    std::map<std::tuple<int, int, QRgb>, std::size_t> mLast; // left, width, colour: the lowest run
};

} // namespace orv::sheet
