#include "sheet/render/PalettePicture.h"

#include "sheet/ColourDistance.h"
#include "sheet/Failure.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

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

} // namespace

PalettePicture::PalettePicture(QSize size, const QList<QRgb> &areaColours) : mImage(size, QImage::Format_Indexed8)
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
    admitColours(band, rows, last);
    // A band with no area of one colour still needs one to show its shades.
    if (mPalette.isEmpty())
        admitColours(band, rows, true);
    const int width = band.width();
    for (int y = 0; y < rows;) {
        const int repeats = sameRows(band, y, rows, width);
        const auto *line = reinterpret_cast<const QRgb *>(band.constScanLine(y));
        uchar *out = mImage.scanLine(top + y);
        QRgb seen = line[0];
        uchar index = indexOf(seen);
        for (int x = 0; x < width; ++x) {
            if (line[x] != seen) {
                seen = line[x];
                index = indexOf(seen);
            }
            out[x] = index;
        }
        for (int copy = 1; copy < repeats; ++copy)
            std::memcpy(mImage.scanLine(top + y + copy), out, static_cast<size_t>(width));
        y += repeats;
    }
}

QImage PalettePicture::take()
{
    mImage.setColorTable(mPalette);
    return std::exchange(mImage, QImage());
}

} // namespace orv::sheet
