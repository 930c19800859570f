#include "sheet/xls/ConditionalFormatRecords.h"

#include <algorithm>

namespace orv::sheet::xls {

namespace {

// Bits of the CF record's flags: set "unchanged" bits keep the cell's own
// look; block bits say which blocks follow.
constexpr std::uint32_t kNothingChanged = 0x003FFFFF;
constexpr std::uint32_t kBordersUnchanged = 0x00003C00;
constexpr std::uint32_t kPatternUnchanged = 0x00010000;
constexpr std::uint32_t kForegroundUnchanged = 0x00020000;
constexpr std::uint32_t kBackgroundUnchanged = 0x00040000;
constexpr std::uint32_t kNumberFormatBlock = 0x02000000;
constexpr std::uint32_t kFontBlock = 0x04000000;
constexpr std::uint32_t kAlignmentBlock = 0x08000000;
constexpr std::uint32_t kBorderBlock = 0x10000000;
constexpr std::uint32_t kPatternBlock = 0x20000000;
constexpr std::uint32_t kProtectionBlock = 0x40000000;
constexpr unsigned kFormulaRule = 2;

// The 118-byte font block: only colour and weight are ever set.
void writeFontBlock(ByteWriter &data, const ConditionalStyle &style, const StyleTable &styles)
{
    data.zeros(64);          // font name: unchanged
    data.u32(0xFFFFFFFF);    // height: unchanged
    data.u32(0);             // posture
    data.u16(style.bold ? (*style.bold ? 700 : 400) : 0xFFFF);
    data.u16(0);             // escapement
    data.u8(0);              // underline
    data.zeros(3);
    data.u32(style.fontColor ? static_cast<std::uint32_t>(styles.fontColorIndex(*style.fontColor)) : 0xFFFFFFFF);
    data.u32(0);
    data.u32(style.bold ? 0x18 : 0x9A); // posture and weight modified when bold is set
    data.u32(1);                        // escapement unchanged
    data.u32(1);                        // underline unchanged
    data.u32(style.bold ? 0 : 1);       // weight
    data.u32(0);
    data.u32(0xFFFFFFFF);
    data.u32(0);
    data.u16(1);
}

void writeBorderBlock(ByteWriter &data, const Borders &borders, const StyleTable &styles)
{
    auto color = [&](const BorderLine &line) {
        return line.style == BorderStyle::None ? 0u : static_cast<unsigned>(styles.lineColorIndex(line.color));
    };
    data.u32(borderStyleCode(borders.left.style) | (borderStyleCode(borders.right.style) << 4)
             | (borderStyleCode(borders.top.style) << 8) | (borderStyleCode(borders.bottom.style) << 12)
             | (color(borders.left) << 16) | (color(borders.right) << 23));
    data.u32(color(borders.top) | (color(borders.bottom) << 7));
}

void writePatternBlock(ByteWriter &data, const Fill &fill, const StyleTable &styles)
{
    const bool solid = fill.pattern == FillPattern::Solid;
    data.u16(solid ? (1u << 10) : 0u);
    const unsigned index = solid ? static_cast<unsigned>(styles.fillColorIndex(fill.color)) : 65u;
    data.u16(index | (index << 7));
}

void readFontBlock(ByteReader &in, ConditionalStyle &style, const Palette &palette)
{
    const qsizetype start = in.position();
    in.skip(64 + 4 + 4);
    const unsigned weight = in.u16();
    in.skip(2 + 1 + 3);
    const std::uint32_t color = in.u32();
    in.skip(4);
    const std::uint32_t postureUnchanged = in.u32();
    in.seek(start + 118);
    if (color != 0xFFFFFFFF)
        style.fontColor = colorFromIndex(palette, color > 0xFFFF ? 0x7FFF : color);
    if (!(postureUnchanged & 0x02) && weight < 0x7FFF)
        style.bold = weight >= 700;
}

void readBorderBlock(ByteReader &in, ConditionalStyle &style, const Palette &palette)
{
    const std::uint32_t first = in.u32();
    const std::uint32_t second = in.u32();
    style.borders = bordersFromBits(palette, first & 0xFFFF, (first >> 16) & 0x7F, (first >> 23) & 0x7F,
                                    second & 0x7F, (second >> 7) & 0x7F);
}

void readPatternBlock(ByteReader &in, std::uint32_t flags, ConditionalStyle &style, const Palette &palette)
{
    const unsigned pattern = (in.u16() >> 10) & 0x3F;
    const unsigned colors = in.u16();
    const bool patternUsed = !(flags & kPatternUnchanged);
    const bool foreUsed = !(flags & kForegroundUnchanged);
    const bool backUsed = !(flags & kBackgroundUnchanged);
    Fill fill;
    if (backUsed && (!patternUsed || pattern == 1)) {
        fill.pattern = FillPattern::Solid;
        fill.color = colorFromIndex(palette, (colors >> 7) & 0x7F);
    } else if (patternUsed && pattern == 0) {
        fill.pattern = FillPattern::None;
    } else if (patternUsed && foreUsed) {
        fill.pattern = FillPattern::Solid;
        fill.color = colorFromIndex(palette, colors & 0x7F);
    } else {
        return;
    }
    style.fill = fill;
}

} // namespace

QByteArray differentialFormat(const ConditionalStyle &style, const StyleTable &styles)
{
    std::uint32_t flags = kNothingChanged;
    const bool font = style.fontColor || style.bold;
    if (font)
        flags |= kFontBlock;
    if (style.borders)
        flags = (flags & ~kBordersUnchanged) | kBorderBlock;
    if (style.fill)
        flags = (flags & ~(kPatternUnchanged | kForegroundUnchanged | kBackgroundUnchanged)) | kPatternBlock;
    ByteWriter data;
    data.u32(flags);
    data.u16(0x8002);
    if (font)
        writeFontBlock(data, style, styles);
    if (style.borders)
        writeBorderBlock(data, *style.borders, styles);
    if (style.fill)
        writePatternBlock(data, *style.fill, styles);
    return data.bytes();
}

QByteArray conditionalRuleRecord(const ConditionalStyle &style, const QByteArray &tokens, const StyleTable &styles)
{
    ByteWriter data;
    data.u8(kFormulaRule);
    data.u8(0);
    data.u16(static_cast<unsigned>(tokens.size()));
    data.u16(0);
    data.append(differentialFormat(style, styles));
    data.append(tokens);
    return data.bytes();
}

namespace {

// FrtRefHeader(U): the record's own type, whether ref8 is used, and ref8.
void writeFutureHeader(ByteWriter &data, unsigned type, const CellRange *range)
{
    data.u16(type);
    data.u16(range ? 1 : 0);
    if (range) {
        data.u16(static_cast<unsigned>(range->firstRow));
        data.u16(static_cast<unsigned>(range->lastRow));
        data.u16(static_cast<unsigned>(range->firstColumn));
        data.u16(static_cast<unsigned>(range->lastColumn));
    } else {
        data.zeros(8);
    }
}

constexpr unsigned kFormulaTemplate = 0x0001; // the rule's own formula
constexpr unsigned kTemplateParameterSize = 16;
constexpr unsigned kActive = 0x01;
constexpr unsigned kStopIfTrue = 0x02;

} // namespace

QByteArray extensionRecord(const ConditionalExtension &extension)
{
    ByteWriter data;
    writeFutureHeader(data, kCfExRecord, &extension.bound);
    const bool newer = !extension.ruleIndex;
    data.u32(newer ? 1 : 0);
    data.u16(static_cast<unsigned>(extension.formatId));
    if (newer)
        return data.bytes();
    data.u16(static_cast<unsigned>(*extension.ruleIndex));
    data.u8(0); // no comparison: a formula rule
    data.u8(kFormulaTemplate); // one byte here, two in CF12
    data.u16(static_cast<unsigned>(extension.priority));
    data.u8(kActive | (extension.stopIfTrue ? kStopIfTrue : 0));
    data.u8(0); // no format of its own: the CF record's applies
    data.u8(kTemplateParameterSize);
    data.zeros(kTemplateParameterSize);
    return data.bytes();
}

QByteArray newerRuleRecord(const ConditionalStyle &style, const QByteArray &tokens, const StyleTable &styles,
                           int priority, bool stopIfTrue)
{
    ByteWriter data;
    writeFutureHeader(data, kCf12Record, nullptr);
    data.u8(kFormulaRule);
    data.u8(0);
    data.u16(static_cast<unsigned>(tokens.size()));
    data.u16(0);
    const QByteArray format = differentialFormat(style, styles);
    data.u32(static_cast<std::uint32_t>(format.size()));
    data.append(format);
    data.append(tokens);
    data.u16(0); // no formula that switches the rule on or off
    data.u8(stopIfTrue ? kStopIfTrue : 0);
    data.u16(static_cast<unsigned>(priority));
    data.u16(kFormulaTemplate);
    data.u8(kTemplateParameterSize);
    data.zeros(kTemplateParameterSize);
    return data.bytes();
}

namespace {

// The blocks of a differential format that its flags announce.
ConditionalStyle readDifferentialFormat(ByteReader &in, const Palette &palette)
{
    ConditionalStyle style;
    const std::uint32_t flags = in.u32();
    const unsigned flags2 = in.u16();
    if (flags & kNumberFormatBlock) {
        if (flags2 & 0x01) // a format text of its own, with its size first
            in.skip(std::max<unsigned>(in.u16(), 2) - 2);
        else
            in.skip(2);
    }
    if (flags & kFontBlock)
        readFontBlock(in, style, palette);
    if (flags & kAlignmentBlock)
        in.skip(8);
    if (flags & kBorderBlock)
        readBorderBlock(in, style, palette);
    if (flags & kPatternBlock)
        readPatternBlock(in, flags, style, palette);
    if (flags & kProtectionBlock)
        in.skip(2);
    return style;
}

} // namespace

StoredConditionalRule parseConditionalRuleRecord(ByteReader &in, const Palette &palette)
{
    StoredConditionalRule rule;
    rule.type = in.u8();
    rule.comparison = in.u8();
    const unsigned size1 = in.u16(), size2 = in.u16();
    rule.style = readDifferentialFormat(in, palette);
    rule.formula1 = in.bytes(size1);
    rule.formula2 = in.bytes(size2);
    rule.stopIfTrue = true; // older versions apply the first rule that holds
    return rule;
}

StoredConditionalRule parseNewerRuleRecord(ByteReader &in, const Palette &palette)
{
    in.skip(12);
    StoredConditionalRule rule;
    rule.type = in.u8();
    rule.comparison = in.u8();
    const unsigned size1 = in.u16(), size2 = in.u16();
    const std::uint32_t formatSize = in.u32();
    if (formatSize == 0) {
        in.skip(2);
    } else {
        const qsizetype formatEnd = in.position() + formatSize;
        rule.style = readDifferentialFormat(in, palette);
        in.seek(formatEnd);
    }
    rule.formula1 = in.bytes(size1);
    rule.formula2 = in.bytes(size2);
    in.skip(in.u16()); // the formula that switches the rule on or off
    rule.stopIfTrue = in.u8() & kStopIfTrue;
    rule.priority = static_cast<int>(in.u16());
    return rule;
}

ConditionalExtension parseExtensionRecord(ByteReader &in)
{
    in.skip(12);
    ConditionalExtension extension;
    const std::uint32_t newer = in.u32();
    extension.formatId = static_cast<int>(in.u16());
    if (newer == 1)
        return extension;
    extension.ruleIndex = static_cast<int>(in.u16());
    in.skip(2); // cp, icfTemplate
    extension.priority = static_cast<int>(in.u16());
    extension.stopIfTrue = in.u8() & kStopIfTrue;
    return extension;
}

FormulaPtr cellValueCondition(unsigned comparison, CellAddress base, FormulaPtr a, FormulaPtr b)
{
    if (!a)
        return nullptr;
    FormulaNode cell;
    cell.kind = FormulaNode::Kind::Reference;
    cell.ref = {base.row, base.column, false, false};
    const FormulaPtr self = std::make_shared<const FormulaNode>(cell);
    auto compare = [&](Operator op, FormulaPtr value) {
        FormulaNode n;
        n.kind = FormulaNode::Kind::Operation;
        n.op = op;
        n.children = {self, std::move(value)};
        return std::make_shared<const FormulaNode>(std::move(n));
    };
    auto function = [&](const char *name, std::vector<FormulaPtr> args) {
        FormulaNode n;
        n.kind = FormulaNode::Kind::Function;
        n.text = QString::fromLatin1(name);
        n.children = std::move(args);
        return std::make_shared<const FormulaNode>(std::move(n));
    };
    switch (comparison) {
    case 1:
    case 2:
        if (!b)
            return nullptr;
        return comparison == 1 ? function("AND", {compare(Operator::GreaterOrEqual, a), compare(Operator::LessOrEqual, b)})
                               : function("OR", {compare(Operator::Less, a), compare(Operator::Greater, b)});
    case 3:
        return compare(Operator::Equal, a);
    case 4:
        return compare(Operator::NotEqual, a);
    case 5:
        return compare(Operator::Greater, a);
    case 6:
        return compare(Operator::Less, a);
    case 7:
        return compare(Operator::GreaterOrEqual, a);
    case 8:
        return compare(Operator::LessOrEqual, a);
    default:
        return nullptr;
    }
}

} // namespace orv::sheet::xls
