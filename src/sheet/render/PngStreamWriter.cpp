#include "sheet/render/PngStreamWriter.h"

#include "sheet/Failure.h"

#include <QIODevice>
#include <QtEndian>
#include <zlib.h>

namespace orv::sheet {

namespace {
constexpr int kChunkSize = 1 << 16;
constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr unsigned char kFilterUp = 2;

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}
} // namespace

struct PngStreamWriter::Stream {
    z_stream z{};
    bool started = false;
    ~Stream()
    {
        if (started)
            deflateEnd(&z);
    }
};

PngStreamWriter::PngStreamWriter(QIODevice &out, int width, int height)
    : mOut(out), mWidth(width), mHeight(height), mRow(1 + 3 * qsizetype(width), '\0'),
      mPrevious(3 * qsizetype(width), '\0'), mBuffer(kChunkSize, '\0'), mStream(std::make_unique<Stream>())
{
    if (width <= 0 || height <= 0)
        throw Failure(QStringLiteral("A picture needs at least one pixel in each direction"));
    // Sheet pictures are runs of few colours: the fastest level with run-length
    // matching compresses them almost as well as the slow levels.
    if (deflateInit2(&mStream->z, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
        throw Failure(QStringLiteral("Out of memory while starting a picture"));
    mStream->started = true;
    if (mOut.write(reinterpret_cast<const char *>(kSignature), sizeof kSignature) != sizeof kSignature)
        throw Failure(QStringLiteral("Could not write the picture: %1").arg(mOut.errorString()));
    QByteArray header = bigEndian(quint32(width)) + bigEndian(quint32(height));
    header += char(8); // bits per channel
    header += char(2); // RGB
    header += QByteArray(3, '\0'); // deflate, adaptive filtering, no interlace
    writeChunk("IHDR", header);
}

PngStreamWriter::~PngStreamWriter() = default;

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

void PngStreamWriter::deflateInto(const unsigned char *data, size_t size, int flush)
{
    z_stream &z = mStream->z;
    z.next_in = const_cast<Bytef *>(data);
    z.avail_in = uInt(size);
    for (;;) {
        z.next_out = reinterpret_cast<Bytef *>(mBuffer.data()) + mBufferUsed;
        z.avail_out = uInt(kChunkSize - mBufferUsed);
        const int result = deflate(&z, flush);
        if (result == Z_STREAM_ERROR)
            throw Failure(QStringLiteral("Could not compress the picture"));
        mBufferUsed = kChunkSize - int(z.avail_out);
        if (mBufferUsed == kChunkSize) {
            writeChunk("IDAT", mBuffer);
            mBufferUsed = 0;
        } else if (flush == Z_FINISH && result == Z_STREAM_END) {
            if (mBufferUsed > 0)
                writeChunk("IDAT", mBuffer.left(mBufferUsed));
            mBufferUsed = 0;
            return;
        } else if (flush != Z_FINISH && z.avail_in == 0) {
            return;
        }
    }
}

void PngStreamWriter::writeRows(const QImage &band, int rows)
{
    if (band.width() != mWidth || band.format() != QImage::Format_RGB32 || rows > band.height()
        || mRowsWritten + rows > mHeight)
        throw Failure(QStringLiteral("A picture band does not fit the picture"));
    auto *filtered = reinterpret_cast<unsigned char *>(mRow.data());
    auto *previous = reinterpret_cast<unsigned char *>(mPrevious.data());
    filtered[0] = kFilterUp;
    for (int y = 0; y < rows; ++y) {
        const auto *pixels = reinterpret_cast<const QRgb *>(band.constScanLine(y));
        unsigned char *out = filtered + 1;
        for (int x = 0; x < mWidth; ++x) {
            const unsigned char rgb[3] = {uchar(qRed(pixels[x])), uchar(qGreen(pixels[x])), uchar(qBlue(pixels[x]))};
            for (int channel = 0; channel < 3; ++channel) {
                *out++ = uchar(rgb[channel] - previous[3 * x + channel]);
                previous[3 * x + channel] = rgb[channel];
            }
        }
        deflateInto(filtered, size_t(mRow.size()), Z_NO_FLUSH);
    }
    mRowsWritten += rows;
}

void PngStreamWriter::finish()
{
    if (mRowsWritten != mHeight)
        throw Failure(QStringLiteral("The picture ended after %1 of its %2 rows").arg(mRowsWritten).arg(mHeight));
    deflateInto(nullptr, 0, Z_FINISH);
    writeChunk("IEND", {});
}

} // namespace orv::sheet
