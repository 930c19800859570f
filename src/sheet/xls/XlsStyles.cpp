#include "sheet/xls/XlsStyles.h"

#include "sheet/xls/NumberFormats.h"

#include <cmath>

namespace orv::sheet::xls {

namespace {

constexpr unsigned kAutomaticFontColor = 0x7FFF;
constexpr unsigned kSystemForeground = 64;
constexpr unsigned kSystemBackground = 65;

void collectColors(std::vector<QRgb> &colors, const Color &color)
{
    if (!color.automatic)
        colors.push_back(color.rgb);
}

void collectColors(std::vector<QRgb> &colors, const Borders &borders)
{
    for (const BorderLine *line : {&borders.left, &borders.right, &borders.top, &borders.bottom})
        collectColors(colors, line->color);
}

unsigned horizontalCode(HorizontalAlignment alignment) { return static_cast<unsigned>(alignment); }
unsigned verticalCode(VerticalAlignment alignment) { return static_cast<unsigned>(alignment); }

} // namespace

unsigned borderStyleCode(BorderStyle style) { return static_cast<unsigned>(style); }

BorderStyle borderStyleFromCode(unsigned code)
{
    switch (code) {
    case 0:
        return BorderStyle::None;
    case 1:
        return BorderStyle::Thin;
    case 2:
        return BorderStyle::Medium;
    case 3:
        return BorderStyle::Dashed;
    case 4:
        return BorderStyle::Dotted;
    case 5:
        return BorderStyle::Thick;
    case 6:
        return BorderStyle::Double;
    case 7:
        return BorderStyle::Hair;
    case 8: // medium dashed and the other newer styles
    case 10:
    case 12:
        return BorderStyle::Medium;
    default:
        return BorderStyle::Thin;
    }
}

Color colorFromIndex(const Palette &palette, unsigned index)
{
    const auto rgb = palette.colorOf(index);
    return rgb ? Color::fromRgb(*rgb) : Color{};
}

Borders bordersFromBits(const Palette &palette, unsigned styles, unsigned left, unsigned right, unsigned top,
                        unsigned bottom)
{
    auto line = [&](unsigned style, unsigned color) {
        BorderLine l;
        l.style = borderStyleFromCode(style & 0x0F);
        if (l.style != BorderStyle::None)
            l.color = colorFromIndex(palette, color);
        return l;
    };
    Borders borders;
    borders.left = line(styles, left);
    borders.right = line(styles >> 4, right);
    borders.top = line(styles >> 8, top);
    borders.bottom = line(styles >> 12, bottom);
    return borders;
}

StyleTable::StyleTable(const Workbook &workbook) : mWorkbook(workbook)
{
    std::vector<QRgb> colors;
    for (int i = 0; i < 4; ++i)
        mFonts.push_back(workbook.format(0).font);
    for (int i = 0; i < workbook.formatCount(); ++i) {
        const CellFormat &format = workbook.format(i);
        if (std::find(mFonts.begin(), mFonts.end(), format.font) == mFonts.end())
            mFonts.push_back(format.font);
        if (builtInNumberFormat(format.numberFormat) < 0 && !mNumberFormats.contains(format.numberFormat)) {
            mNumberFormats.insert(format.numberFormat, kFirstCustomNumberFormat + static_cast<int>(mCustomFormats.size()));
            mCustomFormats.push_back(format.numberFormat);
        }
        collectColors(colors, format.font.color);
        if (format.fill.pattern == FillPattern::Solid)
            colors.push_back(format.fill.color.rgb);
        collectColors(colors, format.borders);
    }
    for (int s = 0; s < workbook.sheetCount(); ++s) {
        for (const ConditionalFormat &conditional : workbook.sheet(s).conditionalFormats()) {
            for (const ConditionalRule &rule : conditional.rules) {
                if (rule.style.fontColor)
                    collectColors(colors, *rule.style.fontColor);
                if (rule.style.fill && rule.style.fill->pattern == FillPattern::Solid)
                    colors.push_back(rule.style.fill->color.rgb);
                if (rule.style.borders)
                    collectColors(colors, *rule.style.borders);
            }
        }
    }
    mPalette.fit(colors);
}

int StyleTable::fontColorIndex(const Color &color) const
{
    return color.automatic ? static_cast<int>(kAutomaticFontColor) : mPalette.indexOf(color.rgb);
}

int StyleTable::lineColorIndex(const Color &color) const
{
    return color.automatic ? static_cast<int>(kSystemForeground) : mPalette.indexOf(color.rgb);
}

int StyleTable::fontIndex(const Font &font) const
{
    const int position = static_cast<int>(std::find(mFonts.begin(), mFonts.end(), font) - mFonts.begin());
    return position >= 4 ? position + 1 : position;
}

void StyleTable::writeFonts(RecordWriter &out) const
{
    for (const Font &font : mFonts) {
        ByteWriter data;
        data.u16(static_cast<unsigned>(std::clamp<long>(std::lround(font.size * 20), 20, 8191)));
        data.u16((font.italic ? 0x02 : 0) | (font.underline ? 0x04 : 0));
        data.u16(static_cast<unsigned>(fontColorIndex(font.color)));
        data.u16(font.bold ? 700 : 400);
        data.u16(0); // no super- or subscript
        data.u8(font.underline ? 1 : 0);
        data.u8(font.name == QLatin1String("Calibri") ? 2 : 0); // swiss family
        data.u8(0);                                             // ANSI character set
        data.u8(0);
        appendShortUnicodeString(data, font.name);
        out.record(rec::Font, data);
    }
}

void StyleTable::writeNumberFormats(RecordWriter &out) const
{
    for (size_t i = 0; i < mCustomFormats.size(); ++i) {
        ByteWriter data;
        data.u16(static_cast<unsigned>(kFirstCustomNumberFormat + i));
        appendUnicodeString(data, mCustomFormats[i]);
        out.record(rec::Format, data);
    }
}

QByteArray StyleTable::cellXf(const CellFormat &format) const
{
    const int builtIn = builtInNumberFormat(format.numberFormat);
    ByteWriter data;
    data.u16(static_cast<unsigned>(fontIndex(format.font)));
    data.u16(static_cast<unsigned>(builtIn >= 0 ? builtIn : mNumberFormats.value(format.numberFormat)));
    data.u16((format.locked ? 0x01 : 0) | (format.hidden ? 0x02 : 0)); // parent style XF 0
    const Alignment &a = format.alignment;
    data.u8(horizontalCode(a.horizontal) | (a.wrap ? 0x08 : 0) | (verticalCode(a.vertical) << 4));
    data.u8(static_cast<unsigned>(a.rotation));
    data.u8((static_cast<unsigned>(a.indent) & 0x0F) | (a.shrinkToFit ? 0x10 : 0));
    data.u8(0xFC); // every attribute group is set in this XF
    const Borders &b = format.borders;
    auto lineColor = [&](const BorderLine &line) {
        return line.style == BorderStyle::None ? 0u : static_cast<unsigned>(lineColorIndex(line.color));
    };
    data.u32(borderStyleCode(b.left.style) | (borderStyleCode(b.right.style) << 4)
             | (borderStyleCode(b.top.style) << 8) | (borderStyleCode(b.bottom.style) << 12)
             | (lineColor(b.left) << 16) | (lineColor(b.right) << 23));
    const bool solid = format.fill.pattern == FillPattern::Solid;
    data.u32(lineColor(b.top) | (lineColor(b.bottom) << 7) | ((solid ? 1u : 0u) << 26));
    const unsigned fore = solid ? static_cast<unsigned>(fillColorIndex(format.fill.color)) : kSystemForeground;
    data.u16(fore | (kSystemBackground << 7));
    return data.bytes();
}

void StyleTable::writeXfs(RecordWriter &out) const
{
    for (int i = 0; i < kFirstCellXf; ++i) {
        ByteWriter data;
        data.u16(0);
        data.u16(0);
        data.u16(0xFFF5); // locked style XF without parent
        data.u8(0x20);    // bottom aligned
        data.u8(0);
        data.u8(0);
        data.u8(i == 0 ? 0 : 0xF4);
        data.u32(0);
        data.u32(0);
        data.u16(kSystemForeground | (kSystemBackground << 7));
        out.record(rec::Xf, data);
    }
    for (int i = 0; i < mWorkbook.formatCount(); ++i)
        out.record(rec::Xf, cellXf(mWorkbook.format(i)));
}

void StyleTable::writeStyles(RecordWriter &out) const
{
    ByteWriter data;
    data.u16(0x8000); // built-in style of XF 0
    data.u8(0);       // Normal
    data.u8(0xFF);
    out.record(rec::Style, data);
}

void StyleTable::writePalette(RecordWriter &out) const
{
    ByteWriter data;
    data.u16(Palette::kSize);
    for (int i = 0; i < Palette::kSize; ++i) {
        const QRgb rgb = mPalette.at(Palette::kFirstIndex + i);
        data.u8(qRed(rgb));
        data.u8(qGreen(rgb));
        data.u8(qBlue(rgb));
        data.u8(0);
    }
    out.record(rec::Palette, data);
}

} // namespace orv::sheet::xls
