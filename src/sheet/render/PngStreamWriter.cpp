#include "sheet/render/PngStreamWriter.h"

#include "sheet/Failure.h"

#include <QIODevice>
#include <QtEndian>
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
    : mOut(out), mWidth(width), mHeight(height), mRow(1 + 3 * qsizetype(width), '\0'),
      mPrevious(3 * qsizetype(width), '\0'), mPreviousPixels(4 * qsizetype(width), '\0'),
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
    mRow[0] = kFilterUp;
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

void PngStreamWriter::filterRow(const QRgb *pixels)
{
    auto *filtered = reinterpret_cast<unsigned char *>(mRow.data()) + 1;
    auto *previous = reinterpret_cast<unsigned char *>(mPrevious.data());
    // A row painted like the one above it filters to zeros.
    if (std::memcmp(pixels, mPreviousPixels.constData(), mPreviousPixels.size()) == 0) {
        std::memset(filtered, 0, mPrevious.size());
        return;
    }
    std::memcpy(mPreviousPixels.data(), pixels, mPreviousPixels.size());
    for (int x = 0; x < mWidth; ++x) {
        const unsigned char rgb[3] = {uchar(qRed(pixels[x])), uchar(qGreen(pixels[x])), uchar(qBlue(pixels[x]))};
        for (int channel = 0; channel < 3; ++channel) {
            filtered[3 * x + channel] = uchar(rgb[channel] - previous[3 * x + channel]);
            previous[3 * x + channel] = rgb[channel];
        }
    }
}

void PngStreamWriter::writeRows(const QImage &band, int rows)
{
    if (band.width() != mWidth || band.format() != QImage::Format_RGB32 || rows > band.height()
        || mRowsWritten + rows > mHeight)
        throw Failure(QStringLiteral("A picture band does not fit the picture"));
    for (int y = 0; y < rows; ++y) {
        filterRow(reinterpret_cast<const QRgb *>(band.constScanLine(y)));
        mDeflater.write(reinterpret_cast<const unsigned char *>(mRow.constData()), size_t(mRow.size()));
    }
    mRowsWritten += rows;
}

void PngStreamWriter::finish()
{
    if (mRowsWritten != mHeight)
        throw Failure(QStringLiteral("The picture ended after %1 of its %2 rows").arg(mRowsWritten).arg(mHeight));
    mDeflater.finish();
    writeChunk("IEND", {});
}

} // namespace orv::sheet
