#include "preview/WindowPlacement.h"

#include <algorithm>

namespace orv::preview {

namespace {

int keptInside(int start, int length, int areaStart, int areaLength)
{
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

} // namespace

QPoint centredPosition(QSize size, const QRect &anchor, const QRect &available)
{
    const QPoint centred(anchor.x() + (anchor.width() - size.width()) / 2,
                         anchor.y() + (anchor.height() - size.height()) / 2);
    if (!available.isValid())
        return centred;
    return {keptInside(centred.x(), size.width(), available.x(), available.width()),
            keptInside(centred.y(), size.height(), available.y(), available.height())};
}

} // namespace orv::preview
