#include "sheet/render/PalettePicture.h"

#include "sheet/ColourDistance.h"
#include "sheet/Failure.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include <sys/mman.h>

namespace orv::sheet {

namespace {

constexpr int kPaletteSize = 256;
// Pixels from which a colour counts as filling an area, counted over the
// bands so far.
constexpr int kAreaPixels = 32;

// How many rows from `y` on are the same as row y (at least 1): the pixel
// rows inside a chart's cell rows mostly repeat.
int sameRows(const QImage &band, int y, int rows, int width)
{
    const uchar *line = band.constScanLine(y);
    const size_t bytes = static_cast<size_t>(width) * sizeof(QRgb);
    int count = 1;
    while (y + count < rows && std::memcmp(band.constScanLine(y + count), line, bytes) == 0)
        ++count;
    return count;
}

// Large pictures are written once, top to bottom, right after they are
// made: on pages of 2 MiB where the system offers them, which take one page
// fault where 4 KiB pages take 512.
constexpr size_t kLargePage = size_t(2) << 20;

void releasePicture(void *bytes) { std::free(bytes); }

QImage indexedPicture(QSize size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return {};
    const qsizetype bytesPerLine = (qsizetype(size.width()) + 3) / 4 * 4;
    const size_t bytes = (size_t(bytesPerLine) * size_t(size.height()) + kLargePage - 1) / kLargePage * kLargePage;
    auto *data = static_cast<uchar *>(std::aligned_alloc(kLargePage, bytes));
    if (data == nullptr)
        return {};
    madvise(data, bytes, MADV_HUGEPAGE);
    return QImage(data, size.width(), size.height(), bytesPerLine, QImage::Format_Indexed8, releasePicture, data);
}

} // namespace

PalettePicture::PalettePicture(QSize size, const QList<QRgb> &areaColours)
    : mImage(indexedPicture(size)), mRows(size.width())
{
    if (mImage.isNull())
        throw Failure(QStringLiteral("Not enough memory for a picture of %1 x %2 pixels")
                          .arg(size.width())
                          .arg(size.height()));
    for (const QRgb colour : areaColours) {
        if (mPalette.size() == kPaletteSize)
            break;
        if (!mAdmitted.contains(colour))
            admit(colour);
    }
}

void PalettePicture::admit(QRgb colour)
{
    mAdmitted.insert(colour, static_cast<uchar>(mPalette.size()));
    mNearest.remove(colour);
    mPending.remove(colour);
    mPalette.push_back(colour | 0xFF000000u);
    mRecent.fill({});
}

// Counted by runs: a chart's rows are long runs of one colour.
void PalettePicture::admitColours(const QImage &band, int rows, bool last)
{
    if (mPalette.size() == kPaletteSize)
        return;
    QHash<QRgb, qint64> &fresh = mPending;
    const auto note = [&](QRgb colour, int pixels) {
        if (!mAdmitted.contains(colour))
            fresh[colour] += pixels;
    };
    const int width = band.width(); // not asked per pixel: QImage::width() is not inlined
    for (int y = 0; y < rows;) {
        const int repeats = sameRows(band, y, rows, width);
        const auto *line = reinterpret_cast<const QRgb *>(band.constScanLine(y));
        QRgb run = line[0];
        int length = 0;
        for (int x = 0; x < width; ++x) {
            if (line[x] == run) {
                ++length;
                continue;
            }
            note(run, length * repeats);
            run = line[x];
            length = 1;
        }
        note(run, length * repeats);
        y += repeats;
    }
    std::vector<std::pair<qint64, QRgb>> bySize;
    bySize.reserve(static_cast<size_t>(fresh.size()));
    for (auto it = fresh.cbegin(); it != fresh.cend(); ++it)
        bySize.emplace_back(it.value(), it.key());
    std::sort(bySize.begin(), bySize.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (const auto &[pixels, colour] : bySize) {
        if (mPalette.size() == kPaletteSize || (pixels < kAreaPixels && !last))
            break;
        admit(colour);
    }
}

uchar PalettePicture::indexOf(QRgb colour)
{
    Recent &recent = mRecent[(colour * 2654435761u) >> (32 - kRecentBits)];
    if (recent.known && recent.colour == colour)
        return recent.index;
    recent = {colour, indexLookedUp(colour), true};
    return recent.index;
}

uchar PalettePicture::indexLookedUp(QRgb colour)
{
    if (const auto admitted = mAdmitted.constFind(colour); admitted != mAdmitted.cend())
        return admitted.value();
    if (const auto near = mNearest.constFind(colour); near != mNearest.cend())
        return near.value();
    int best = std::numeric_limits<int>::max();
    uchar index = 0;
    for (qsizetype i = 0; i < mPalette.size(); ++i) {
        const int d = colourDistance(colour, mPalette[i]);
        if (d < best) {
            best = d;
            index = static_cast<uchar>(i);
        }
    }
    mNearest.insert(colour, index);
    return index;
}

void PalettePicture::addBand(const QImage &band, int top, int rows, bool last)
{
    mRows.take(band, rows);
    addBand(mRows, top, last);
}

void PalettePicture::addBand(const BandRows &rows, int top, bool last)
{
    const qsizetype paletteBefore = mPalette.size();
    admitColours(rows.band(), rows.count(), last);
    // A band with no area of one colour still needs one to show its shades.
    if (mPalette.isEmpty())
        admitColours(rows.band(), rows.count(), true);
    // A colour admitted now may have shown as its nearest colour in the rows
    // already kept, so the next row is looked up whole.
    if (mPalette.size() != paletteBefore)
        mPreviousRow = -1;
    for (int y = 0; y < rows.count(); ++y)
        addRow(rows, y, top + y);
}

// A row is its predecessor with the span that changed looked up again.
void PalettePicture::addRow(const BandRows &rows, int y, int row)
{
    const int width = rows.width();
    const QRgb *pixels = rows.pixels(y);
    uchar *out = mImage.scanLine(row);
    if (mPreviousRow < 0) {
        lookUp(pixels, out, 0, width);
        mPreviousRow = row;
        return;
    }
    const uchar *previous = mImage.constScanLine(mPreviousRow);
    mPreviousRow = row;
    if (rows.repeats(y)) {
        std::memcpy(out, previous, static_cast<size_t>(width));
        return;
    }
    const int first = rows.firstChange(y);
    const int last = rows.lastChange(y);
    std::memcpy(out, previous, static_cast<size_t>(first));
    lookUp(pixels, out, first, last + 1);
    std::memcpy(out + last + 1, previous + last + 1, static_cast<size_t>(width - last - 1));
}

void PalettePicture::lookUp(const QRgb *pixels, uchar *out, int from, int to)
{
    QRgb seen = pixels[from];
    uchar index = indexOf(seen);
    for (int x = from; x < to; ++x) {
        if (pixels[x] != seen) {
            seen = pixels[x];
            index = indexOf(seen);
        }
        out[x] = index;
    }
}

QImage PalettePicture::take()
{
    mImage.setColorTable(mPalette);
    return std::exchange(mImage, QImage());
}

} // namespace orv::sheet
