#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace orv::preview {

// Where a window of `size` goes to sit centred over `anchor`, moved as
// little as needed to stay inside `available` (the screen's free area); a
// window larger than that area keeps its top-left corner in it. An invalid
// `available` puts no bound.
QPoint centredPosition(QSize size, const QRect &anchor, const QRect &available);

} // namespace orv::preview
