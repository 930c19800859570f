#pragma once

#include "sheet/render/BandRows.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QSize>

#include <array>

namespace orv::sheet {

// Keeps a picture, handed over band by band at 32 bits a pixel, at one byte
// a pixel with a palette of up to 256 colours: 80 MB for a 1,000-task chart
// instead of 330. A chart has a few dozen colours that fill areas and a long
// tail of shades along the edges of smoothed text. Colours that have covered
// an area join the palette, the largest first; every other colour is
// shown as the nearest colour already in the palette, which keeps fills,
// lines and the bars exact and moves an edge shade by a few levels.
class PalettePicture {
public:
    // `areaColours` join the palette first, in order (beyond 256, the rest
    // are left out): the colours the picture's cells are known to fill and
    // draw lines with, so that they stay exact even where a band's text
    // shades would fill the palette before the first cell of that colour.
    explicit PalettePicture(QSize size, const QList<QRgb> &areaColours = {});

    // Rows 0 to rows - 1 of `band` (Format_RGB32) become rows top onwards.
    // The last band may take every colour that still finds room.
    void addBand(const QImage &band, int top, int rows, bool last);
    // The same for a band whose changes are worked out already; the first
    // band taken must be the picture's first.
    void addBand(const BandRows &rows, int top, bool last);
    QImage take();

private:
    void admitColours(const QImage &band, int rows, bool last);
    void admit(QRgb colour);
    void addRow(const BandRows &rows, int y, int row);
    void lookUp(const QRgb *pixels, uchar *out, int from, int to);
    uchar indexOf(QRgb colour);
    uchar indexLookedUp(QRgb colour);

    // The last colours looked up, by a hash of the colour: the shades of a
    // text repeat from letter to letter.
    static constexpr int kRecentBits = 12;
    struct Recent {
        QRgb colour = 0;
        uchar index = 0;
        bool known = false;
    };
    std::array<Recent, 1 << kRecentBits> mRecent{};

    QImage mImage;
    BandRows mRows;        // the bands handed over as images
    int mPreviousRow = -1; // the last row kept; -1: the next row is looked up whole
    QList<QRgb> mPalette;
    QHash<QRgb, uchar> mAdmitted;
    QHash<QRgb, uchar> mNearest;
    QHash<QRgb, qint64> mPending; // pixels of colours not yet in the palette
};

} // namespace orv::sheet
