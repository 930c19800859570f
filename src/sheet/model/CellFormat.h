#pragma once

#include <QColor>
#include <QString>

namespace orv::sheet {

// A colour, or the automatic colour (black text, no line colour).
struct Color {
    bool automatic = true;
    QRgb rgb = 0;

    static Color fromRgb(QRgb value) { return {false, value | 0xFF000000u}; }
    friend bool operator==(const Color &, const Color &) = default;
};

struct Font {
    QString name = QStringLiteral("Calibri");
    double size = 11; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Color color;

    friend bool operator==(const Font &, const Font &) = default;
};

enum class FillPattern { None, Solid };

struct Fill {
    FillPattern pattern = FillPattern::None;
    Color color; // the solid fill's colour

    friend bool operator==(const Fill &, const Fill &) = default;
};

enum class BorderStyle { None, Thin, Medium, Dashed, Dotted, Thick, Double, Hair };

struct BorderLine {
    BorderStyle style = BorderStyle::None;
    Color color;

    friend bool operator==(const BorderLine &, const BorderLine &) = default;
};

struct Borders {
    BorderLine left;
    BorderLine right;
    BorderLine top;
    BorderLine bottom;

    friend bool operator==(const Borders &, const Borders &) = default;
};

enum class HorizontalAlignment { General, Left, Center, Right, Fill, Justify, CenterAcrossSelection };
enum class VerticalAlignment { Top, Center, Bottom, Justify };

struct Alignment {
    HorizontalAlignment horizontal = HorizontalAlignment::General;
    VerticalAlignment vertical = VerticalAlignment::Bottom;
    bool wrap = false;
    bool shrinkToFit = false;
    // Text rotation as the 97-2003 format stores it: 0-90 degrees counter-
    // clockwise, 91-180 for 1-90 degrees clockwise, 255 for letters stacked
    // top to bottom.
    int rotation = 0;
    int indent = 0;

    friend bool operator==(const Alignment &, const Alignment &) = default;
};

// Everything that decides how a cell looks. Workbooks keep their formats in
// one table and cells refer to them by index.
struct CellFormat {
    Font font;
    Fill fill;
    Borders borders;
    Alignment alignment;
    QString numberFormat = QStringLiteral("General");
    bool locked = true;
    bool hidden = false;

    friend bool operator==(const CellFormat &, const CellFormat &) = default;
};

} // namespace orv::sheet
