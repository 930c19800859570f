#pragma once

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QRectF>
#include <array>
#include <optional>

namespace orv::sheet {

// Where the letters of a line of text put ink, taken from the outlines of
// their glyphs, so that a painter can tell whether a clip would cut any of
// them. Kept across pages: the outlines of one font are read once.
class LetterInk {
public:
    // The box the letters of `text` cover when drawn in `font` as one line
    // `advance` wide, on the device `font` was made for (QFont(font, device)), relative to the line's start on
    // its baseline (y grows downwards). Nothing when that cannot be told: a
    // letter the font's own face lacks, so that another font would draw it,
    // or a letter outside Latin-1.
    std::optional<QRectF> bounds(const QFont &font, const QString &text, double advance);

private:
    // A letter's ink relative to its own pen position.
    struct Letter {
        bool read = false;
        bool drawable = false; // the face has the letter
        bool inked = false;    // it is not blank
        float advance = 0;
        float left = 0;        // ink's left edge from the pen
        float overhang = 0;    // ink's right edge beyond the advance
        float top = 0;         // ink's top edge (negative: above the baseline)
        float bottom = 0;
    };
    struct Face {
        QRawFont raw;
        std::array<Letter, 256> letters;
    };

    Face &face(const QFont &font);
    const Letter &letter(Face &face, char16_t code);

    QHash<QString, Face> mFaces;
};

} // namespace orv::sheet
