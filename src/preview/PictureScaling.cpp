#include "preview/PictureScaling.h"

#include <algorithm>
#include <cstring>

namespace orv::preview {

namespace {

// Source rows per strip; strips end on whole target rows at every quarter
// zoom step, since the count is a multiple of 4.
constexpr int kStripRows = 256;

bool isNative(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

void copyRows(const QImage &strip, QImage &into, int top)
{
    const int rows = std::min(strip.height(), into.height() - top);
    const qsizetype bytes = std::min(strip.bytesPerLine(), into.bytesPerLine());
    for (int y = 0; y < rows; ++y)
        std::memcpy(into.scanLine(top + y), strip.constScanLine(y), static_cast<size_t>(bytes));
}

} // namespace

QImage smoothlyScaled(const QImage &source, const QRect &from, QSize target)
{
    if (source.isNull() || from.isEmpty() || target.isEmpty())
        return {};
    if (isNative(source.format())) {
        const QImage part = from == source.rect() ? source : source.copy(from);
        return part.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    }
    QImage scaled(target, QImage::Format_RGB32);
    if (scaled.isNull())
        return {};
    const double rowScale = static_cast<double>(target.height()) / from.height();
    for (int sourceTop = 0; sourceTop < from.height(); sourceTop += kStripRows) {
        const int sourceRows = std::min(kStripRows, from.height() - sourceTop);
        const int targetTop = static_cast<int>(sourceTop * rowScale);
        const int targetEnd = sourceTop + sourceRows == from.height()
                                  ? target.height()
                                  : static_cast<int>((sourceTop + sourceRows) * rowScale);
        if (targetEnd <= targetTop)
            continue;
        const QImage strip = source.copy(from.x(), from.y() + sourceTop, from.width(), sourceRows)
                                 .convertToFormat(QImage::Format_RGB32)
                                 .scaled(target.width(), targetEnd - targetTop, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
        copyRows(strip, scaled, targetTop);
    }
    return scaled;
}

} // namespace orv::preview
