#include "sheet/render/SheetPicture.h"

#include "sheet/Failure.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/BandRelay.h"
#include "sheet/render/PalettePicture.h"
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

// The colours a sheet's cells can fill or draw lines with: white, the
// format table's and the conditional formats' fills and borders, black.
QList<QRgb> areaColours(const Workbook &workbook, const Sheet &sheet)
{
    QList<QRgb> colours{qRgb(255, 255, 255)};
    const auto take = [&](const Color &color) {
        if (!color.automatic && !colours.contains(color.rgb | 0xFF000000u))
            colours.push_back(color.rgb | 0xFF000000u);
    };
    const auto takeBorders = [&](const Borders &borders) {
        for (const BorderLine *line : {&borders.left, &borders.right, &borders.top, &borders.bottom})
            if (line->style != BorderStyle::None)
                take(line->color);
    };
    for (int index = 0; index < workbook.formatCount(); ++index) {
        const CellFormat &format = workbook.format(index);
        if (format.fill.pattern == FillPattern::Solid)
            take(format.fill.color);
        takeBorders(format.borders);
    }
    for (const ConditionalFormat &conditional : sheet.conditionalFormats())
        for (const ConditionalRule &rule : conditional.rules) {
            if (rule.style.fill && rule.style.fill->pattern == FillPattern::Solid)
                take(rule.style.fill->color);
            if (rule.style.borders)
                takeBorders(*rule.style.borders);
        }
    take(Color::fromRgb(qRgb(0, 0, 0)));
    return colours;
}

// Bands painted ahead of the encoder and the picture kept for the screen,
// which take them, one after the other, on a thread of their own: both redo
// only what changed from row to row, worked out once for them.
constexpr int kRelayedBands = 3;

// Encodes the picture into `out` and, when `shown` is given, keeps it there
// at one byte a pixel too.
void encodeInto(QIODevice &out, const Workbook &workbook, int sheetIndex, CellRange range,
                const RenderOptions &options, QImage *shown = nullptr)
{
    const Sheet &sheet = workbook.sheet(sheetIndex);
    const SheetGeometry geometry(workbook, sheet, range);
    const QSize size = checkedSize(geometry);
    std::optional<PalettePicture> kept;
    if (shown != nullptr)
        kept.emplace(size, areaColours(workbook, sheet));
    PngStreamWriter png(out, size.width(), size.height());
    BandRows changes(size.width());
    const BandRelay::Consumer encodeAndKeep = [&](const QImage &band, int top, int rows) {
        changes.take(band, rows);
        png.writeRows(changes);
        if (kept)
            kept->addBand(changes, top, top + rows == size.height());
    };
    std::vector<QImage> images;
    for (int image = 0; image < kRelayedBands; ++image)
        images.push_back(bandImage(size.width(), bandHeightFor(size, options)));
    BandRelay relay(std::move(images), {encodeAndKeep});
    paintBands(
        workbook, sheet, geometry, size, options, [&]() -> QImage & { return relay.nextImage(); },
        [&](int top, int rows) { relay.hand(top, rows); });
    relay.finish();
    png.finish();
    if (kept) {
        *shown = kept->take();
        shown->setDotsPerMeterX(kDotsPerMeter);
        shown->setDotsPerMeterY(kDotsPerMeter);
    }
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

PictureForScreen encodeAndKeepPicture(const Workbook &workbook, int sheetIndex, CellRange range,
                                      const RenderOptions &options)
{
    PictureForScreen picture;
    QBuffer buffer(&picture.encoded);
    buffer.open(QIODevice::WriteOnly);
    encodeInto(buffer, workbook, sheetIndex, range, options, &picture.shown);
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
