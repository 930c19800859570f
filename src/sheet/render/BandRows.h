#pragma once

#include <QImage>

#include <vector>

namespace orv::sheet {

// The rows of one band of a picture, as the picture's encoder and the
// picture kept for the screen take them, with where each row differs from
// the row above it. Rows of a sheet picture change, if at all, over short
// spans (a text, a border), so that both only redo that span; working it out
// once here spares them comparing every row twice.
//
// Above the picture's first row stands a row of zeros (PNG's "up" filter
// starts from one), which no painted pixel equals.
class BandRows {
public:
    explicit BandRows(int width);

    // Takes rows 0 to rows - 1 of `band` (Format_RGB32, the picture's
    // width) as the picture's next rows. The band must stay unchanged until
    // the next take().
    void take(const QImage &band, int rows);

    const QImage &band() const { return *mBand; }
    int count() const { return mRows; }
    int width() const { return mWidth; }
    const QRgb *pixels(int y) const { return reinterpret_cast<const QRgb *>(mBand->constScanLine(y)); }
    // The row above row y: the band's row before it, or for the band's first
    // row the last row of the band before.
    const QRgb *above(int y) const { return y == 0 ? mAboveFirst.data() : pixels(y - 1); }
    // Row y repeats the row above it as a whole.
    bool repeats(int y) const { return mSpans[size_t(y)].first == mWidth; }
    // The first and the last pixel of row y that differ from the row above;
    // only for a row that does not repeat it.
    int firstChange(int y) const { return mSpans[size_t(y)].first; }
    int lastChange(int y) const { return mSpans[size_t(y)].last; }

private:
    struct Span {
        int first;
        int last;
    };

    int mWidth;
    const QImage *mBand = nullptr;
    int mRows = 0;
    std::vector<QRgb> mAboveFirst; // the row above the band's first
    std::vector<QRgb> mLastRow;    // the band's last row, above the next band
    std::vector<Span> mSpans;      // by row
};

} // namespace orv::sheet
