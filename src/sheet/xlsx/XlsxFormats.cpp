#include "sheet/xlsx/XlsxFormats.h"

#include "files/Failure.h"

#include <xlsxwriter.h>

#include <algorithm>

namespace orv::sheet::xlsx {

namespace {

// libxlsxwriter takes 0 for "no colour", so black has a value of its own.
lxw_color_t colorOf(const Color &color)
{
    const lxw_color_t rgb = color.rgb & 0xFFFFFFu;
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;
}

uint8_t borderStyleOf(BorderStyle style)
{
    switch (style) {
    case BorderStyle::None: return LXW_BORDER_NONE;
    case BorderStyle::Thin: return LXW_BORDER_THIN;
    case BorderStyle::Medium: return LXW_BORDER_MEDIUM;
    case BorderStyle::Dashed: return LXW_BORDER_DASHED;
    case BorderStyle::Dotted: return LXW_BORDER_DOTTED;
    case BorderStyle::Thick: return LXW_BORDER_THICK;
    case BorderStyle::Double: return LXW_BORDER_DOUBLE;
    case BorderStyle::Hair: return LXW_BORDER_HAIR;
    }
    return LXW_BORDER_NONE;
}

uint8_t horizontalOf(HorizontalAlignment alignment)
{
    switch (alignment) {
    case HorizontalAlignment::General: return LXW_ALIGN_NONE;
    case HorizontalAlignment::Left: return LXW_ALIGN_LEFT;
    case HorizontalAlignment::Center: return LXW_ALIGN_CENTER;
    case HorizontalAlignment::Right: return LXW_ALIGN_RIGHT;
    case HorizontalAlignment::Fill: return LXW_ALIGN_FILL;
    case HorizontalAlignment::Justify: return LXW_ALIGN_JUSTIFY;
    case HorizontalAlignment::CenterAcrossSelection: return LXW_ALIGN_CENTER_ACROSS;
    }
    return LXW_ALIGN_NONE;
}

uint8_t verticalOf(VerticalAlignment alignment)
{
    switch (alignment) {
    case VerticalAlignment::Top: return LXW_ALIGN_VERTICAL_TOP;
    case VerticalAlignment::Center: return LXW_ALIGN_VERTICAL_CENTER;
    case VerticalAlignment::Bottom: return LXW_ALIGN_VERTICAL_BOTTOM;
    case VerticalAlignment::Justify: return LXW_ALIGN_VERTICAL_JUSTIFY;
    }
    return LXW_ALIGN_VERTICAL_BOTTOM;
}

// The model keeps the 97-2003 codes (0-90 counter-clockwise, 91-180 for 1-90
// clockwise, 255 stacked); the library takes -90 to 90 degrees or 270.
int16_t rotationOf(int stored)
{
    if (stored == 255)
        return 270;
    if (stored > 90 && stored <= 180)
        return static_cast<int16_t>(90 - stored);
    return static_cast<int16_t>(stored);
}

void applyBorders(lxw_format *format, const Borders &borders)
{
    struct Side {
        const BorderLine &line;
        void (*setStyle)(lxw_format *, uint8_t);
        void (*setColor)(lxw_format *, lxw_color_t);
    };
    const Side sides[] = {{borders.left, format_set_left, format_set_left_color},
                          {borders.right, format_set_right, format_set_right_color},
                          {borders.top, format_set_top, format_set_top_color},
                          {borders.bottom, format_set_bottom, format_set_bottom_color}};
    for (const Side &side : sides) {
        if (side.line.style == BorderStyle::None)
            continue;
        side.setStyle(format, borderStyleOf(side.line.style));
        if (!side.line.color.automatic)
            side.setColor(format, colorOf(side.line.color));
    }
}

void applyFont(lxw_format *format, const Font &font)
{
    const Font standard;
    if (font.name != standard.name)
        format_set_font_name(format, font.name.toUtf8().constData());
    if (font.size != standard.size)
        format_set_font_size(format, font.size);
    if (font.bold)
        format_set_bold(format);
    if (font.italic)
        format_set_italic(format);
    if (font.underline)
        format_set_underline(format, LXW_UNDERLINE_SINGLE);
    if (!font.color.automatic)
        format_set_font_color(format, colorOf(font.color));
}

void applyAlignment(lxw_format *format, const Alignment &alignment)
{
    if (alignment.horizontal != HorizontalAlignment::General)
        format_set_align(format, horizontalOf(alignment.horizontal));
    if (alignment.vertical != VerticalAlignment::Bottom)
        format_set_align(format, verticalOf(alignment.vertical));
    if (alignment.wrap)
        format_set_text_wrap(format);
    if (alignment.shrinkToFit)
        format_set_shrink(format);
    if (alignment.rotation != 0)
        format_set_rotation(format, rotationOf(alignment.rotation));
    if (alignment.indent > 0)
        format_set_indent(format, static_cast<uint8_t>(std::min(alignment.indent, 15)));
}

lxw_format *newFormat(lxw_workbook *target)
{
    lxw_format *format = workbook_add_format(target);
    if (!format)
        throw Failure(QStringLiteral("Out of memory"));
    return format;
}

} // namespace

XlsxFormats::XlsxFormats(lxw_workbook *target, const Workbook &workbook)
    : mTarget(target), mWorkbook(workbook), mCellFormats(workbook.formatCount(), nullptr),
      mMade(workbook.formatCount(), false)
{
}

lxw_format *XlsxFormats::defaultLook()
{
    if (!mDefaultLook)
        mDefaultLook = newFormat(mTarget);
    return mDefaultLook;
}

lxw_format *XlsxFormats::cellFormat(int index)
{
    if (index < 0 || index >= mWorkbook.formatCount())
        throw Failure(QStringLiteral("A cell refers to the missing cell format %1").arg(index));
    if (mMade[index])
        return mCellFormats[index];
    mMade[index] = true;
    const CellFormat &model = mWorkbook.format(index);
    if (model == CellFormat())
        return nullptr;
    lxw_format *format = newFormat(mTarget);
    applyFont(format, model.font);
    if (model.fill.pattern == FillPattern::Solid) {
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_fg_color(format, colorOf(model.fill.color));
    }
    applyBorders(format, model.borders);
    applyAlignment(format, model.alignment);
    if (model.numberFormat != QStringLiteral("General"))
        format_set_num_format(format, model.numberFormat.toUtf8().constData());
    if (!model.locked)
        format_set_unlocked(format);
    if (model.hidden)
        format_set_hidden(format);
    mCellFormats[index] = format;
    return format;
}

// A conditional look overrides only what it sets; the rest stays the cell's.
lxw_format *XlsxFormats::conditionalFormat(const ConditionalStyle &style)
{
    lxw_format *format = newFormat(mTarget);
    if (style.fontColor && !style.fontColor->automatic)
        format_set_font_color(format, colorOf(*style.fontColor));
    if (style.bold.value_or(false))
        format_set_bold(format);
    if (style.fill && style.fill->pattern == FillPattern::Solid) {
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_bg_color(format, colorOf(style.fill->color));
    }
    if (style.borders)
        applyBorders(format, *style.borders);
    return format;
}

} // namespace orv::sheet::xlsx
