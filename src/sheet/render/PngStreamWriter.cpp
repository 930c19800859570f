#include "sheet/render/PngStreamWriter.h"

#include "files/Failure.h"

#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace orv::sheet {

namespace {
constexpr int kChunkSize = 1 << 16;
constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr char kFilterUp = 2;

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}
} // namespace

PngStreamWriter::PngStreamWriter(QIODevice &out, int width, int height)
    : mOut(out), mWidth(width), mHeight(height), mRow(3 * qsizetype(width), '\0'),
      mRows(width),
      mDeflater([this](const QByteArray &piece) { writeChunk("IDAT", piece); }, kChunkSize)
{
    if (width <= 0 || height <= 0)
        throw Failure(QStringLiteral("A picture needs at least one pixel in each direction"));
    if (mOut.write(reinterpret_cast<const char *>(kSignature), sizeof kSignature) != sizeof kSignature)
        throw Failure(QStringLiteral("Could not write the picture: %1").arg(mOut.errorString()));
    QByteArray header = bigEndian(quint32(width)) + bigEndian(quint32(height));
    header += char(8);             // bits per channel
    header += char(2);             // RGB
    header += QByteArray(3, '\0'); // deflate, adaptive filtering, no interlace
    writeChunk("IHDR", header);
}

void PngStreamWriter::writeChunk(const char type[4], const QByteArray &data)
{
    QByteArray chunk = bigEndian(quint32(data.size()));
    chunk.append(type, 4);
    chunk += data;
    const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(chunk.constData() + 4),
                            uInt(chunk.size() - 4));
    chunk += bigEndian(quint32(crc));
    if (mOut.write(chunk) != chunk.size())
        throw Failure(QStringLiteral("Could not write the picture: %1").arg(mOut.errorString()));
}

// With the "up" filter a pixel equal to the one above becomes three zeros:
// only the span of a row that changed is filtered byte by byte.
void PngStreamWriter::writeRow(const BandRows &rows, int y)
{
    const unsigned char filter = kFilterUp;
    mDeflater.write(&filter, 1);
    if (rows.repeats(y)) {
        mDeflater.writeZeros(3 * size_t(mWidth));
        return;
    }
    const QRgb *pixels = rows.pixels(y);
    const QRgb *above = rows.above(y);
    const int first = rows.firstChange(y);
    const int last = rows.lastChange(y);
    auto *filtered = reinterpret_cast<unsigned char *>(mRow.data());
    for (int x = first; x <= last; ++x) {
        const QRgb pixel = pixels[x], up = above[x];
        unsigned char *out = filtered + 3 * (x - first);
        out[0] = uchar(qRed(pixel) - qRed(up));
        out[1] = uchar(qGreen(pixel) - qGreen(up));
        out[2] = uchar(qBlue(pixel) - qBlue(up));
    }
    mDeflater.writeZeros(3 * size_t(first));
    mDeflater.write(filtered, 3 * size_t(last - first + 1));
    mDeflater.writeZeros(3 * size_t(mWidth - 1 - last));
}

void PngStreamWriter::writeRows(const QImage &band, int rows)
{
    if (band.width() != mWidth || band.format() != QImage::Format_RGB32 || rows > band.height())
        throw Failure(QStringLiteral("A picture band does not fit the picture"));
    mRows.take(band, rows);
    writeRows(mRows);
}

void PngStreamWriter::writeRows(const BandRows &rows)
{
    if (rows.width() != mWidth || mRowsWritten + rows.count() > mHeight)
        throw Failure(QStringLiteral("A picture band does not fit the picture"));
    for (int y = 0; y < rows.count(); ++y)
        writeRow(rows, y);
    mRowsWritten += rows.count();
}

void PngStreamWriter::finish()
{
    if (mRowsWritten != mHeight)
        throw Failure(QStringLiteral("The picture ended after %1 of its %2 rows").arg(mRowsWritten).arg(mHeight));
    mDeflater.finish();
    writeChunk("IEND", {});
}

} // namespace orv::sheet
