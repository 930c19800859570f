#pragma once

#include <QByteArray>
#include <QImage>
#include <memory>

class QIODevice;

namespace orv::sheet {

// Writes a PNG image row band by row band, so that a picture never has to
// be held whole in memory. Rows are stored as 8-bit RGB with the "up" filter,
// which turns the repeated rows of a sheet picture into runs of zeros.
class PngStreamWriter {
public:
    PngStreamWriter(QIODevice &out, int width, int height);
    ~PngStreamWriter();
    PngStreamWriter(const PngStreamWriter &) = delete;
    PngStreamWriter &operator=(const PngStreamWriter &) = delete;

    // Appends the first `rows` rows of an RGB32 band of the image's width.
    void writeRows(const QImage &band, int rows);
    // Ends the image; every row must have been written.
    void finish();

private:
    void writeChunk(const char type[4], const QByteArray &data);
    void deflateInto(const unsigned char *data, size_t size, int flush);

    struct Stream;
    QIODevice &mOut;
    int mWidth;
    int mHeight;
    int mRowsWritten = 0;
    QByteArray mRow;      // the filtered row: filter byte + RGB
    QByteArray mPrevious; // the previous row's RGB, for the filter
    QByteArray mBuffer;   // compressed data waiting for its chunk
    int mBufferUsed = 0;
    std::unique_ptr<Stream> mStream;
};

} // namespace orv::sheet
