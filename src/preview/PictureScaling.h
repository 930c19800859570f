#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace orv::preview {

// The part `from` of `source` scaled smoothly to `target`, in 32 bits a
// pixel, so that the text of a chart stays legible at every zoom. A source
// held in a compact format is converted a strip at a time, so that no
// full-size 32-bit copy of it is ever made. Returns a null image when the
// result cannot be held.
QImage smoothlyScaled(const QImage &source, const QRect &from, QSize target);

} // namespace orv::preview
