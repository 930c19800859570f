#pragma once

#include <QFont>
#include <QRawFont>
#include <QRectF>
#include <array>
#include <map>
#include <optional>

namespace orv::sheet {

// Where the letters of a line of text put ink, taken from the outlines of
// their glyphs, so that a painter can tell whether a clip would cut any of
// them. Kept across pages: the outlines of one font are read once.
class LetterInk {
public:
    // One font's letters, as far as they have been read.
    struct Face;

    // The face of `font` on the device `font` was made for
    // (QFont(font, device)); it lives as long as this LetterInk.
    Face &face(const QFont &font);
    // The box the letters of `text` cover when drawn in `face` as one line
    // `advance` wide, relative to the line's start on its baseline (y grows
    // downwards). Nothing when that cannot be told: a letter the font's own
    // face lacks, so that another font would draw it, or a letter outside
    // Latin-1.
    std::optional<QRectF> bounds(Face &face, const QString &text, double advance);

private:
    struct Letter;
    const Letter &letter(Face &face, char16_t code);

    std::map<QString, Face> mFaces;
};

// A letter's ink relative to its own pen position.
struct LetterInk::Letter {
    bool read = false;
    bool drawable = false; // the face has the letter
    bool inked = false;    // it is not blank
    float advance = 0;
    float left = 0;     // ink's left edge from the pen
    float overhang = 0; // ink's right edge beyond the advance
    float top = 0;      // ink's top edge (negative: above the baseline)
    float bottom = 0;
};

struct LetterInk::Face {
    QRawFont raw;
    std::array<Letter, 256> letters;
};

} // namespace orv::sheet
