#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QTransform>
#include <QVector>
#include <unordered_map>
#include <vector>

class QPainter;

namespace orv::sheet {

// Texts drawn for paper, gathered into one run of glyphs for each stretch
// of texts in one font and colour. Qt's PDF writer gives every drawn text a
// graphics state and a text object of its own, and lays it out anew; a run
// is one text object, each glyph placed where drawing the texts one by one
// would place it. Each text is laid out once per font, for all pages.
class PaperTexts {
public:
    // A number for `font` (as set on the painter) under which its texts'
    // layouts are kept; the same for equal fonts.
    int fontId(const QFont &font);

    // Adds `text`, its line's baseline starting at `start` in the frame
    // coordinates that `frame` maps into the painter's. False when the text
    // must be drawn on its own: it needs more than one face, or its font
    // draws lines through or under it.
    bool add(QPainter &painter, int font, const QColor &color, const QString &text, QPointF start,
             const QTransform &frame = {});
    // Draws what was gathered; the painter's state must be the one the
    // texts were added under.
    void flush(QPainter &painter);

private:
    struct Shape {
        bool single = false; // one face; otherwise drawn on its own
        QRawFont face;
        QVector<quint32> glyphs;
        QVector<QPointF> positions; // from the line's start on its baseline
    };
    struct ShapeKey {
        int font;
        QString text;
        friend bool operator==(const ShapeKey &, const ShapeKey &) = default;
    };
    struct ShapeKeyHash {
        size_t operator()(const ShapeKey &key) const noexcept;
    };
    const Shape &shapeOf(QPainter &painter, int font, const QString &text);

    std::vector<QFont> mFonts; // by id
    std::unordered_map<ShapeKey, Shape, ShapeKeyHash> mShapes;
    // The run being gathered: its glyphs stand in the frame of mTurn, a
    // frame's turn and scale without its move.
    QRawFont mFace;
    QColor mColor;
    QTransform mTurn;
    QVector<quint32> mGlyphs;
    QVector<QPointF> mPositions;
};

} // namespace orv::sheet
