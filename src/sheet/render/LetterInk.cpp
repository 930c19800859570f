#include "sheet/render/LetterInk.h"


#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace orv::sheet {

LetterInk::Face &LetterInk::face(const QFont &font)
{
    const QString key = font.key();
    const auto found = mFaces.find(key);
    if (found != mFaces.end())
        return found->second;
    Face added;
    added.raw = QRawFont::fromFont(font);
    // A face that only stands in for the bold or italic one is drawn with
    // made-up strokes the outlines do not show.
    const bool bold = added.raw.weight() >= QFont::DemiBold;
    const bool italic = added.raw.style() != QFont::StyleNormal;
    if (!added.raw.isValid() || bold != (font.weight() >= QFont::DemiBold) || italic != font.italic())
        added.raw = QRawFont();
    return mFaces.emplace(key, std::move(added)).first->second;
}

const LetterInk::Letter &LetterInk::letter(Face &face, char16_t code)
{
    Letter &letter = face.letters[code];
    if (letter.read)
        return letter;
    letter.read = true;
    const QChar character(code);
    // Control characters are drawn as nothing or as boxes, by rules of their own.
    if (!face.raw.isValid() || !character.isPrint() || !face.raw.supportsCharacter(character))
        return letter;
    const QList<quint32> glyphs = face.raw.glyphIndexesForString(QString(character));
    if (glyphs.size() != 1)
        return letter;
    letter.drawable = true;
    letter.advance = float(face.raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics).front().x());
    const QRectF ink = face.raw.pathForGlyph(glyphs.front()).boundingRect();
    if (ink.isEmpty())
        return letter;
    letter.inked = true;
    letter.left = float(ink.left());
    letter.overhang = float(ink.right() - letter.advance);
    letter.top = float(ink.top());
    letter.bottom = float(ink.bottom());
    return letter;
}

// The line's letters stand one after the other, each at the sum of the
// advances before it, unless the line is wider or narrower than that sum
// (kerning moved letters). Then each letter's pen position is at least the
// line's start and its advance ends at most at the line's end, so the
// line's ink lies within the extremes of its letters' ink about those two
// points.
std::optional<QRectF> LetterInk::bounds(Face &inkFace, const QString &text, double advance)
{
    // Advances are laid out in 1/64 pixels.
    constexpr double kRounding = 1.0 / 64;
    std::vector<const Letter *> letters;
    letters.reserve(text.size());
    double sum = 0;
    for (QChar character : text) {
        if (character.unicode() > 0xFF)
            return std::nullopt;
        const Letter &ink = letter(inkFace, character.unicode());
        if (!ink.drawable)
            return std::nullopt;
        letters.push_back(&ink);
        sum += ink.advance;
    }
    const bool placed = std::abs(sum - advance) <= kRounding * double(letters.size() + 1);
    QRectF box;
    double pen = 0;
    for (const Letter *ink : letters) {
        if (ink->inked) {
            const QRectF letterBox = placed ? QRectF(QPointF(pen + ink->left, ink->top),
                                                     QPointF(pen + ink->advance + ink->overhang, ink->bottom))
                                            : QRectF(QPointF(ink->left, ink->top),
                                                     QPointF(advance + ink->overhang, ink->bottom));
            box = box.isNull() ? letterBox : box.united(letterBox);
        }
        pen += ink->advance;
    }
    return box;
}

} // namespace orv::sheet
