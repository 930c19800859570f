#include "sheet/render/BandRows.h"

#include "files/Failure.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace orv::sheet {

namespace {

// Pixels compared at once with memcmp, which is vectorised, before the
// single pixels at the edge of a change.
constexpr int kBlock = 32;

// The first pixel in [from, to) that differs from the row above, or `to`.
int firstChangeOf(const QRgb *pixels, const QRgb *above, int from, int to)
{
    // Most rows repeat the one above as a whole.
    if (std::memcmp(pixels + from, above + from, size_t(to - from) * sizeof(QRgb)) == 0)
        return to;
    while (from + kBlock <= to && std::memcmp(pixels + from, above + from, kBlock * sizeof(QRgb)) == 0)
        from += kBlock;
    while (from < to && pixels[from] == above[from])
        ++from;
    return from;
}

// The last pixel in [from, to) that differs from the row above; there is one.
int lastChangeOf(const QRgb *pixels, const QRgb *above, int from, int to)
{
    while (to - kBlock > from && std::memcmp(pixels + to - kBlock, above + to - kBlock, kBlock * sizeof(QRgb)) == 0)
        to -= kBlock;
    int last = to - 1;
    while (pixels[last] == above[last])
        --last;
    return last;
}

} // namespace

BandRows::BandRows(int width)
    : mWidth(width), mAboveFirst(size_t(std::max(0, width)), 0), mLastRow(size_t(std::max(0, width)), 0)
{
}

void BandRows::take(const QImage &band, int rows)
{
    if (band.width() != mWidth || band.format() != QImage::Format_RGB32 || rows < 0 || rows > band.height())
        throw Failure(QStringLiteral("A picture band does not fit the picture"));
    // The last row of the band before (of the last band that had rows).
    if (mRows > 0)
        std::swap(mAboveFirst, mLastRow);
    mBand = &band;
    mRows = rows;
    mSpans.resize(size_t(rows));
    for (int y = 0; y < rows; ++y) {
        const int first = firstChangeOf(pixels(y), above(y), 0, mWidth);
        mSpans[size_t(y)] = {first, first == mWidth ? first : lastChangeOf(pixels(y), above(y), first, mWidth)};
    }
    if (rows > 0)
        std::copy_n(pixels(rows - 1), mWidth, mLastRow.begin());
}

} // namespace orv::sheet
