#include "sheet/render/SheetPicture.h"

#include "files/Failure.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/BandRelay.h"
#include "sheet/render/PngStreamWriter.h"
#include "sheet/render/RangePainter.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <optional>

namespace orv::sheet {

namespace {

constexpr int kDotsPerMeter = 3780; // 96 DPI
// The most pixels a band holds (16 MB), so that very wide pictures paint in
// thinner bands.
constexpr qint64 kMaxBandPixels = qint64(1) << 22;

QImage bandImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        throw Failure(QStringLiteral("Not enough memory for a picture of %1 x %2 pixels").arg(width).arg(height));
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
}

QSize checkedSize(const SheetGeometry &geometry)
{
    const qint64 width = geometry.width();
    const qint64 height = geometry.height();
    if (width <= 0 || height <= 0)
        throw Failure(QStringLiteral("The range has no visible cells to make a picture of"));
    if (width * height > kMaxPicturePixels || height > std::numeric_limits<int>::max())
        throw Failure(QStringLiteral("The picture of the chart would be %1 x %2 pixels, more than the %3 million "
                                     "pixels a picture may have")
                          .arg(width)
                          .arg(height)
                          .arg(kMaxPicturePixels / 1000000));
    return QSize(int(width), int(height));
}

int bandHeightFor(QSize size, const RenderOptions &options)
{
    const int widest = int(std::max<qint64>(1, kMaxBandPixels / size.width()));
    return std::clamp(std::min(options.bandHeight, widest), 1, size.height());
}

// Paints the range band by band: each band into the image `nextImage` gives,
// which is then handed to `painted` with the band's top row and row count.
template <typename NextImage, typename Painted>
void paintBands(const Workbook &workbook, const Sheet &sheet, const SheetGeometry &geometry, QSize size,
                const RenderOptions &options, NextImage nextImage, Painted painted)
{
    RangePainter painter(workbook, sheet, geometry, options.ruleHolds);
    const int bandHeight = bandHeightFor(size, options);
    for (qint64 top = 0; top < size.height(); top += bandHeight) {
        const int rows = int(std::min<qint64>(bandHeight, size.height() - top));
        {
            QPainter bandPainter(&nextImage());
            painter.paintBand(bandPainter, top, rows);
        }
        painted(int(top), rows);
    }
}

} // namespace

QSize pictureSize(const Workbook &workbook, int sheetIndex, CellRange range)
{
    return checkedSize(SheetGeometry(workbook, workbook.sheet(sheetIndex), range));
}

QSize frozenPaneSize(const Workbook &workbook, int sheetIndex, CellRange range)
{
    const Sheet &sheet = workbook.sheet(sheetIndex);
    const SheetGeometry geometry(workbook, sheet, range);
    const SheetView &view = sheet.view();
    const int width = view.frozenColumns > range.firstColumn
                          ? geometry.columnRight(std::min(view.frozenColumns - 1, range.lastColumn))
                          : 0;
    const qint64 height = view.frozenRows > range.firstRow
                              ? geometry.rowBottom(std::min(view.frozenRows - 1, range.lastRow))
                              : 0;
    return QSize(width, int(height));
}

QImage renderRange(const Workbook &workbook, int sheetIndex, CellRange range, const RenderOptions &options)
{
    const Sheet &sheet = workbook.sheet(sheetIndex);
    const SheetGeometry geometry(workbook, sheet, range);
    const QSize size = checkedSize(geometry);
    QImage picture = bandImage(size.width(), size.height());
    QImage band = bandImage(size.width(), bandHeightFor(size, options));
    paintBands(
        workbook, sheet, geometry, size, options, [&]() -> QImage & { return band; },
        [&](int top, int rows) {
            for (int y = 0; y < rows; ++y)
                std::copy_n(band.constScanLine(y), band.bytesPerLine(), picture.scanLine(top + y));
        });
    return picture;
}

namespace {

// Bands painted ahead of the encoder, which takes them on a thread of its
// own and redoes only what changed from row to row.
constexpr int kRelayedBands = 3;

// Encodes the picture into `out`.
void encodeInto(QIODevice &out, const Workbook &workbook, int sheetIndex, CellRange range,
                const RenderOptions &options)
{
    const Sheet &sheet = workbook.sheet(sheetIndex);
    const SheetGeometry geometry(workbook, sheet, range);
    const QSize size = checkedSize(geometry);
    PngStreamWriter png(out, size.width(), size.height());
    BandRows changes(size.width());
    const BandRelay::Consumer encode = [&](const QImage &band, int, int rows) {
        changes.take(band, rows);
        png.writeRows(changes);
    };
    std::vector<QImage> images;
    for (int image = 0; image < kRelayedBands; ++image)
        images.push_back(bandImage(size.width(), bandHeightFor(size, options)));
    BandRelay relay(std::move(images), {encode});
    paintBands(
        workbook, sheet, geometry, size, options, [&]() -> QImage & { return relay.nextImage(); },
        [&](int top, int rows) { relay.hand(top, rows); });
    relay.finish();
    png.finish();
}

// Writes a file in place (a picture in the temporary folder needs no flush to
// disk); on a failure the file is removed, so that an older picture cannot
// stand in for the one that failed.
template <typename Write>
void writeFile(const QString &path, Write write)
{
    try {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw Failure(QStringLiteral("Could not write the picture %1: %2").arg(path, file.errorString()));
        write(file);
        if (!file.flush())
            throw Failure(QStringLiteral("Could not write the picture %1: %2").arg(path, file.errorString()));
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

} // namespace

QByteArray encodePicture(const Workbook &workbook, int sheetIndex, CellRange range, const RenderOptions &options)
{
    QByteArray picture;
    QBuffer buffer(&picture);
    buffer.open(QIODevice::WriteOnly);
    encodeInto(buffer, workbook, sheetIndex, range, options);
    return picture;
}

void writePicture(const Workbook &workbook, int sheetIndex, CellRange range, const QString &path,
                  const RenderOptions &options)
{
    writeFile(path, [&](QFile &file) { encodeInto(file, workbook, sheetIndex, range, options); });
}

QImage readPicture(const QString &path)
{
    // Qt refuses images above 128 MB by default; allow the largest picture
    // this program makes, decoded at 4 bytes a pixel.
    QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage picture = reader.read();
    if (picture.isNull())
        throw Failure(QStringLiteral("Could not read the picture %1: %2").arg(path, reader.errorString()));
    return picture;
}

} // namespace orv::sheet
