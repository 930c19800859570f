#pragma once

#include <QRgb>

namespace orv::sheet {

// The squared distance between two colours in RGB space: the measure by
// which a colour is shown as the nearest one a palette holds.
inline int colourDistance(QRgb a, QRgb b)
{
    const int red = qRed(a) - qRed(b);
    const int green = qGreen(a) - qGreen(b);
    const int blue = qBlue(a) - qBlue(b);
    return red * red + green * green + blue * blue;
}

} // namespace orv::sheet
