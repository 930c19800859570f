#pragma once

#include "sheet/render/BandRows.h"
#include "sheet/render/RunDeflater.h"

#include <QByteArray>
#include <QImage>

class QIODevice;

namespace orv::sheet {

// Writes a PNG image band by band, so that a picture never has to be held
// whole in memory. Rows are stored as 8-bit RGB with the "up" filter, which
// turns the repeated rows of a sheet picture into runs of zeros.
class PngStreamWriter {
public:
    PngStreamWriter(QIODevice &out, int width, int height);

    // Appends the first `rows` rows of an RGB32 band of the image's width.
    void writeRows(const QImage &band, int rows);
    // Appends the rows of a band whose changes are worked out already: the
    // first band taken must be the image's first.
    void writeRows(const BandRows &rows);
    // Ends the image; every row must have been written.
    void finish();

private:
    void writeChunk(const char type[4], const QByteArray &data);
    // Filters and compresses row y of the band.
    void writeRow(const BandRows &rows, int y);

    QIODevice &mOut;
    int mWidth;
    int mHeight;
    int mRowsWritten = 0;
    QByteArray mRow;  // filtered bytes of the part of a row that changed
    BandRows mRows;   // the bands handed over as images
    RunDeflater mDeflater;
};

} // namespace orv::sheet
