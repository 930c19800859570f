#include "sheet/render/PaperTexts.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace orv::sheet {

size_t PaperTexts::ShapeKeyHash::operator()(const ShapeKey &key) const noexcept
{
    return qHash(key.text, size_t(key.font));
}

int PaperTexts::fontId(const QFont &font)
{
    const auto known = std::find(mFonts.begin(), mFonts.end(), font);
    if (known != mFonts.end())
        return int(known - mFonts.begin());
    mFonts.push_back(font);
    return int(mFonts.size()) - 1;
}

// The text laid out as the painter's drawText lays out one line.
const PaperTexts::Shape &PaperTexts::shapeOf(QPainter &painter, int font, const QString &text)
{
    const auto [known, added] = mShapes.try_emplace(ShapeKey{font, text});
    Shape &shape = known->second;
    const QFont &face = mFonts.at(size_t(font));
    if (!added || face.underline() || face.strikeOut() || face.overline())
        return shape;
    QTextLayout layout(text, face, painter.device());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = line.isValid() ? line.glyphRuns() : QList<QGlyphRun>();
    if (runs.size() != 1)
        return shape;
    shape.single = true;
    shape.face = runs.front().rawFont();
    shape.glyphs = runs.front().glyphIndexes();
    const QPointF baseline(0, line.ascent());
    for (const QPointF &position : runs.front().positions())
        shape.positions.push_back(position - baseline);
    return shape;
}

bool PaperTexts::add(QPainter &painter, int font, const QColor &color, const QString &text, QPointF start,
                     const QTransform &frame)
{
    const Shape &shape = shapeOf(painter, font, text);
    if (!shape.single)
        return false;
    // The frame's move, brought into the turned frame: texts turned alike
    // share a run however far apart they stand.
    const QTransform turn(frame.m11(), frame.m12(), frame.m21(), frame.m22(), 0, 0);
    bool invertible = false;
    const QPointF moved = start + turn.inverted(&invertible).map(QPointF(frame.dx(), frame.dy()));
    if (!invertible)
        return false;
    if (!mGlyphs.isEmpty() && (shape.face != mFace || color != mColor || turn != mTurn))
        flush(painter);
    mFace = shape.face;
    mColor = color;
    mTurn = turn;
    mGlyphs.append(shape.glyphs);
    for (const QPointF &position : shape.positions)
        mPositions.push_back(moved + position);
    return true;
}

void PaperTexts::flush(QPainter &painter)
{
    if (mGlyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(mFace);
    run.setGlyphIndexes(mGlyphs);
    run.setPositions(mPositions);
    painter.setPen(mColor);
    const QTransform painted = painter.worldTransform();
    if (!mTurn.isIdentity())
        painter.setWorldTransform(mTurn * painted);
    painter.drawGlyphRun(QPointF(0, 0), run);
    if (!mTurn.isIdentity())
        painter.setWorldTransform(painted);
    mGlyphs.clear();
    mPositions.clear();
}

} // namespace orv::sheet
