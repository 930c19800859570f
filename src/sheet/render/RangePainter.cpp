#include "sheet/render/RangePainter.h"

#include "sheet/model/Workbook.h"
#include "sheet/render/FillRuns.h"
#include "sheet/render/LineStrips.h"
#include "sheet/render/ScreenFonts.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orv::sheet {

namespace {

// Space between a cell's edge and its text.
constexpr int kTextPadding = 2;
const QColor kGridlineColor(0xD9, 0xD9, 0xD9);
const QColor kBackground(Qt::white);
const BorderLine kNoLine;
constexpr int kDotsPerMeter = 3780; // 96 DPI

// Which of two lines on a shared edge is drawn: the stronger one.
int strength(BorderStyle style)
{
    switch (style) {
    case BorderStyle::None: return 0;
    case BorderStyle::Hair: return 1;
    case BorderStyle::Dotted: return 2;
    case BorderStyle::Dashed: return 3;
    case BorderStyle::Thin: return 4;
    case BorderStyle::Medium: return 5;
    case BorderStyle::Thick: return 6;
    case BorderStyle::Double: return 7;
    }
    return 0;
}

const BorderLine &stronger(const BorderLine &first, const BorderLine &second)
{
    return strength(second.style) > strength(first.style) ? second : first;
}

QColor lineColor(const Color &color) { return color.automatic ? QColor(Qt::black) : QColor::fromRgb(color.rgb); }

// Paints a border line along an edge. `along` is the span the line covers,
// `at` the pixel row (horizontal) or column (vertical) of the edge.
void paintLine(LineStrips &strips, Qt::Orientation orientation, int at, int from, int to, const BorderLine &line)
{
    if (line.style == BorderStyle::None || to <= from)
        return;
    const QColor color = lineColor(line.color);
    auto strip = [&](int offset, int start, int end, const QColor &stripColor) {
        if (orientation == Qt::Horizontal)
            strips.add(QRect(start, at + offset, end - start, 1), stripColor);
        else
            strips.add(QRect(at + offset, start, 1, end - start), stripColor);
    };
    auto dashed = [&](int on, int off) {
        for (int start = from; start < to; start += on + off)
            strip(0, start, std::min(start + on, to), color);
    };
    switch (line.style) {
    case BorderStyle::Hair:
    case BorderStyle::Dotted: dashed(1, 1); break;
    case BorderStyle::Dashed: dashed(3, 1); break;
    case BorderStyle::Medium:
        strip(-1, from, to, color);
        strip(0, from, to, color);
        break;
    case BorderStyle::Thick:
        for (int offset = -1; offset <= 1; ++offset)
            strip(offset, from, to, color);
        break;
    case BorderStyle::Double:
        strip(-1, from, to, color);
        strip(0, from, to, kBackground);
        strip(1, from, to, color);
        break;
    default: strip(0, from, to, color); break;
    }
}

} // namespace

struct RangePainter::TextItem {
    QRect clip;
    QRectF layout;
    int flags = 0;
    QString text;
    TextFont *font = nullptr;
    double shrink = 1; // font scale for shrink-to-fit
    QColor color;
    int rotation = 0; // degrees counter-clockwise
    double width = -1; // the advance of a text of one line without spaces at its ends, else -1
};

// Where a text is drawn: `rect` and `flags` as given to QPainter::drawText,
// in coordinates that `transform` takes to the band's.
struct RangePainter::TextFrame {
    QTransform transform;
    QRectF rect;
    int flags = 0;
};

RangePainter::RangePainter(const Workbook &workbook, const Sheet &sheet, const SheetGeometry &geometry,
                           RuleTest ruleHolds)
    : mSheet(sheet), mGeometry(geometry),
      mLooks(workbook, sheet, geometry.range().firstColumn, geometry.range().lastColumn, std::move(ruleHolds)),
      mGridlines(sheet.view().showGridlines), mMetricsDevice(1, 1, QImage::Format_RGB32)
{
    mMetricsDevice.setDotsPerMeterX(kDotsPerMeter);
    mMetricsDevice.setDotsPerMeterY(kDotsPerMeter);
    const CellRange &range = geometry.range();
    mMergesByRow.resize(range.rowCount());
    for (const CellRange &merged : sheet.mergedRanges()) {
        if (!merged.intersects(range))
            continue;
        const CellRange clipped{std::max(merged.firstRow, range.firstRow), std::max(merged.firstColumn, range.firstColumn),
                                std::min(merged.lastRow, range.lastRow), std::min(merged.lastColumn, range.lastColumn)};
        mMerges.push_back({clipped, mLooks.resolveCell(merged.topLeft())});
        for (int row = clipped.firstRow; row <= clipped.lastRow; ++row)
            mMergesByRow[row - range.firstRow].push_back(int(mMerges.size()) - 1);
    }
}

RangePainter::~RangePainter() = default;

void RangePainter::loadRows(int firstRow, int lastRow)
{
    const CellRange &range = mGeometry.range();
    const int from = std::max(range.firstRow, firstRow - 1);
    const int to = std::min(range.lastRow, lastRow + 1);
    std::vector<BandRow> rows(to - from + 1);
    for (int row = from; row <= to; ++row) {
        BandRow &band = rows[row - from];
        // Rows of the previous band are reused rather than resolved again.
        if (const BandRow *known = bandRow(row)) {
            band = std::move(*const_cast<BandRow *>(known));
            continue;
        }
        band.row = row;
        mLooks.resolveRow(row, band.looks);
        band.merges.assign(range.columnCount(), -1);
        for (int index : mMergesByRow[row - range.firstRow])
            for (int column = mMerges[index].range.firstColumn; column <= mMerges[index].range.lastColumn; ++column)
                band.merges[column - range.firstColumn] = index;
    }
    for (BandRow &band : rows)
        band.openBoundary.assign(range.columnCount(), 0);
    mRows = std::move(rows);
}

const RangePainter::BandRow *RangePainter::bandRow(int row) const
{
    if (mRows.empty() || row < mRows.front().row || row > mRows.back().row)
        return nullptr;
    return &mRows[row - mRows.front().row];
}

QRect RangePainter::cellRect(int firstColumn, int lastColumn, int firstRow, int lastRow, qint64 top) const
{
    const int left = mGeometry.columnLeft(firstColumn);
    const int y = int(mGeometry.rowTop(firstRow) - top);
    return QRect(left, y, mGeometry.columnRight(lastColumn) - left, int(mGeometry.rowBottom(lastRow) - top) - y);
}

const Fill &RangePainter::fillAt(const BandRow &row, int column) const
{
    const int index = column - mGeometry.range().firstColumn;
    return row.merges[index] >= 0 ? mMerges[row.merges[index]].look.fill : row.looks[index].fill;
}

bool RangePainter::sameMerge(const BandRow &row, int columnA, int columnB) const
{
    const int first = mGeometry.range().firstColumn;
    return row.merges[columnA - first] >= 0 && row.merges[columnA - first] == row.merges[columnB - first];
}

void RangePainter::paintBand(QPainter &painter, qint64 top, int height)
{
    paintBand(painter, top, height, 0, int(mGeometry.width()));
}

void RangePainter::paintBand(QPainter &painter, qint64 top, int height, int left, int width)
{
    const CellRange &range = mGeometry.range();
    const QRect part(left, 0, width, height);
    painter.save();
    painter.setClipRect(part, Qt::IntersectClip);
    painter.fillRect(part, kBackground);
    const int firstRow = mGeometry.rowAt(top);
    if (firstRow <= range.lastRow) {
        const int lastRow = std::min(range.lastRow, mGeometry.rowAt(top + height - 1));
        const std::array<qint64, 4> band{top, height, left, width};
        if (mLaidOut != band) {
            loadRows(firstRow, lastRow);
            // A border drawn on a column's edge reaches a pixel into its neighbour.
            mFirstColumn = std::max(range.firstColumn, mGeometry.columnAt(left - 2));
            mLastColumn = std::min(range.lastColumn, mGeometry.columnAt(qint64(left) + width + 1));
            mTexts = layoutTexts(top, firstRow, lastRow, height);
            mLaidOut = band;
        }
        paintFills(painter, top);
        if (mGridlines)
            paintGridlines(painter, top);
        paintTexts(painter, mTexts, part);
        paintBorders(painter, top, firstRow, lastRow);
    }
    painter.restore();
}

// Solid fills only: the band is white already.
void RangePainter::paintFills(QPainter &painter, qint64 top)
{
    FillRuns fills;
    for (const BandRow &row : mRows) {
        const int y = int(mGeometry.rowTop(row.row) - top);
        const int h = mGeometry.rowHeight(row.row);
        // Neighbouring cells of one colour are filled as one rectangle.
        for (int column = mFirstColumn; column <= mLastColumn;) {
            const Fill &fill = fillAt(row, column);
            int end = column + 1;
            while (end <= mLastColumn && fillAt(row, end) == fill)
                ++end;
            if (fill.pattern == FillPattern::Solid) {
                const QColor color = fill.color.automatic ? kBackground : QColor::fromRgb(fill.color.rgb);
                const int x = mGeometry.columnLeft(column);
                if (color != kBackground)
                    fills.add(QRect(x, y, mGeometry.columnRight(end - 1) - x, h), color);
            }
            column = end;
        }
    }
    fills.paint(painter, mInk != nullptr);
}

// Gridlines run along the right and bottom pixel of every cell that has no
// fill, except inside merged cells and under text that spills over.
void RangePainter::paintGridlines(QPainter &painter, qint64 top)
{
    const CellRange &range = mGeometry.range();
    for (const BandRow &row : mRows) {
        const int y = int(mGeometry.rowTop(row.row) - top);
        const int bottom = int(mGeometry.rowBottom(row.row) - top) - 1;
        const BandRow *below = bandRow(row.row + 1);
        for (int column = mFirstColumn; column <= mLastColumn; ++column) {
            if (fillAt(row, column).pattern != FillPattern::None || mGeometry.columnWidth(column) == 0)
                continue;
            const int left = mGeometry.columnLeft(column);
            const int right = mGeometry.columnRight(column) - 1;
            const int index = column - range.firstColumn;
            const bool mergedRight = column < range.lastColumn && sameMerge(row, column, column + 1);
            if (!mergedRight && !row.openBoundary[index])
                painter.fillRect(QRect(right, y, 1, bottom - y + 1), kGridlineColor);
            const bool mergedBelow = below && row.merges[index] >= 0 && row.merges[index] == below->merges[index];
            if (!mergedBelow)
                painter.fillRect(QRect(left, bottom, right - left + 1, 1), kGridlineColor);
        }
    }
}

void RangePainter::paintBorders(QPainter &painter, qint64 top, int firstRow, int lastRow)
{
    const CellRange &range = mGeometry.range();
    const int width = int(mGeometry.width());
    LineStrips strips(painter, mInk != nullptr);
    auto horizontal = [&](const BandRow *upper, const BandRow *lower, int at) {
        for (int column = mFirstColumn; column <= mLastColumn;) {
            const BorderLine line = horizontalEdge(upper, lower, column);
            int end = column + 1;
            while (end <= mLastColumn && horizontalEdge(upper, lower, end) == line)
                ++end;
            const int from = mGeometry.columnLeft(column);
            // A line's last pixel meets the vertical edge on the right.
            const int to = end > range.lastColumn ? width : mGeometry.columnRight(end - 1);
            paintLine(strips, Qt::Horizontal, at, std::max(0, from - 1), to, line);
            column = end;
        }
    };
    for (int rowIndex = firstRow; rowIndex <= lastRow; ++rowIndex) {
        const BandRow &row = *bandRow(rowIndex);
        const int y = int(mGeometry.rowTop(rowIndex) - top);
        const int bottom = int(mGeometry.rowBottom(rowIndex) - top);
        // Vertical edges: the left edge of every column and the right edge of the last.
        for (int column = mFirstColumn; column <= mLastColumn + 1; ++column) {
            const int index = column - range.firstColumn;
            const bool inside = column > range.firstColumn && column <= range.lastColumn;
            if (inside && sameMerge(row, column - 1, column))
                continue;
            const BorderLine &leftLine = column > range.firstColumn ? row.looks[index - 1].borders.right : kNoLine;
            const BorderLine &rightLine = column <= range.lastColumn ? row.looks[index].borders.left : kNoLine;
            const int x = column > range.lastColumn ? width - 1 : std::max(0, mGeometry.columnLeft(column) - 1);
            paintLine(strips, Qt::Vertical, x, y, bottom, stronger(leftLine, rightLine));
        }
    }
    // Horizontal edges: the top of every row, and the bottom of the range's
    // last row. The edge below the band is drawn too: a thick line reaches
    // up into the band's last row.
    for (int rowIndex = firstRow; rowIndex <= std::min(lastRow + 1, range.lastRow); ++rowIndex) {
        const int y = int(mGeometry.rowTop(rowIndex) - top);
        horizontal(rowIndex > range.firstRow ? bandRow(rowIndex - 1) : nullptr, bandRow(rowIndex),
                   rowIndex == range.firstRow ? 0 : y - 1);
    }
    if (lastRow == range.lastRow)
        horizontal(bandRow(lastRow), nullptr, int(mGeometry.rowBottom(lastRow) - top) - 1);
    strips.finish();
}

BorderLine RangePainter::horizontalEdge(const BandRow *upper, const BandRow *lower, int column) const
{
    const int index = column - mGeometry.range().firstColumn;
    if (upper && lower && upper->merges[index] >= 0 && upper->merges[index] == lower->merges[index])
        return kNoLine;
    return stronger(upper ? upper->looks[index].borders.bottom : kNoLine,
                    lower ? lower->looks[index].borders.top : kNoLine);
}

RangePainter::TextFont &RangePainter::textFont(const CellLook &look)
{
    Font font = look.format->font;
    font.bold = look.bold;
    font.color = {};
    for (const auto &known : mFonts)
        if (known->font == font)
            return *known;
    auto added = std::make_unique<TextFont>();
    added->font = font;
    added->qfont = screenFont(font);
    if (mInk) {
        added->qfont.setStyleStrategy(QFont::PreferNoShaping);
        added->ink = &mInk->face(QFont(added->qfont, &mMetricsDevice));
        added->paperFont = mPaperTexts->fontId(added->qfont);
    }
    added->metrics = std::make_unique<QFontMetricsF>(added->qfont, &mMetricsDevice);
    mFonts.push_back(std::move(added));
    return *mFonts.back();
}

// Found by the cell format itself: a range meets the same few formats in
// every row, and looking them up by their codes' text costs more than
// painting most cells.
const NumberFormat &RangePainter::numberFormat(const CellFormat &format)
{
    auto found = mNumberFormats.find(&format);
    if (found == mNumberFormats.end())
        found = mNumberFormats.emplace(&format, NumberFormat(format.numberFormat)).first;
    return found->second;
}

std::vector<RangePainter::TextItem> RangePainter::layoutTexts(qint64 top, int firstRow, int lastRow, int height)
{
    const CellRange &range = mGeometry.range();
    const QRect band(0, 0, int(mGeometry.width()), height);
    std::vector<TextItem> items;
    for (int rowIndex = firstRow; rowIndex <= lastRow; ++rowIndex) {
        BandRow &row = mRows[rowIndex - mRows.front().row];
        for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
            const int index = column - range.firstColumn;
            if (row.merges[index] >= 0 || !row.looks[index].hasValue())
                continue;
            const QRect rect = cellRect(column, column, rowIndex, rowIndex, top);
            TextItem item;
            if (layoutText(row.looks[index], rect, rect, &row, column, item))
                items.push_back(std::move(item));
        }
    }
    // A merged range shows its top-left cell across the whole range; every
    // band it crosses draws its own part.
    for (const Merge &merge : mMerges) {
        if (merge.range.lastRow < firstRow || merge.range.firstRow > lastRow || !merge.look.hasValue()
            || merge.range.lastColumn < mFirstColumn || merge.range.firstColumn > mLastColumn)
            continue;
        const CellRange &r = merge.range;
        const QRect rect = cellRect(r.firstColumn, r.lastColumn, r.firstRow, r.lastRow, top);
        TextItem item;
        if (layoutText(merge.look, rect, rect.intersected(band), nullptr, r.firstColumn, item))
            items.push_back(std::move(item));
    }
    return items;
}

namespace {

HorizontalAlignment effectiveAlignment(HorizontalAlignment horizontal, const Value &value)
{
    if (horizontal != HorizontalAlignment::General)
        return horizontal;
    // General: numbers to the right, texts to the left, the rest centred.
    if (std::holds_alternative<double>(value))
        return HorizontalAlignment::Right;
    return std::holds_alternative<QString>(value) ? HorizontalAlignment::Left : HorizontalAlignment::Center;
}

int alignmentFlags(HorizontalAlignment horizontal, VerticalAlignment vertical)
{
    int flags = 0;
    switch (horizontal) {
    case HorizontalAlignment::Right: flags |= Qt::AlignRight; break;
    case HorizontalAlignment::Center:
    case HorizontalAlignment::CenterAcrossSelection: flags |= Qt::AlignHCenter; break;
    default: flags |= Qt::AlignLeft; break;
    }
    switch (vertical) {
    case VerticalAlignment::Top: flags |= Qt::AlignTop; break;
    case VerticalAlignment::Center: flags |= Qt::AlignVCenter; break;
    default: flags |= Qt::AlignBottom; break;
    }
    return flags;
}

// Rotation as stored (0-90 counter-clockwise, 91-180 clockwise) in degrees
// counter-clockwise; 0 for stacked letters.
int counterClockwiseDegrees(int rotation)
{
    if (rotation <= 90)
        return rotation;
    return rotation <= 180 ? 90 - rotation : 0;
}

// The length of the longest line at `degrees` through the centre of a
// width x height box: the room along turned text. Nearly upright text, such
// as text turned 89 degrees, has about the box's height.
double roomAlong(int degrees, double width, double height)
{
    const double radians = std::abs(degrees) * M_PI / 180.0;
    const double across = std::abs(std::cos(radians)), up = std::abs(std::sin(radians));
    if (across < 1e-9)
        return height;
    if (up < 1e-9)
        return width;
    return std::min(width / across, height / up);
}

QString stackedLetters(const QString &text)
{
    QStringList letters;
    for (QChar letter : text)
        letters << QString(letter);
    return letters.join(u'\n');
}

} // namespace

// Replaces the text of a number too wide for `available` pixels: General
// numbers first give up decimals, other numbers show as many "#" as fit.
// False when not even one "#" fits.
bool RangePainter::fitNumber(const NumberFormat &numbers, double number, const QFontMetricsF &metrics,
                             double available, QString &text)
{
    if (numbers.isGeneralFor(number)) {
        for (int digits = 9; digits >= 1; --digits) {
            text = formatGeneral(number, digits);
            if (metrics.horizontalAdvance(text) <= available)
                return true;
        }
    }
    const int count = int(std::max(0.0, available) / metrics.horizontalAdvance(u'#'));
    text = QString(count, u'#');
    return count > 0;
}

// Lets text too wide for its cell spill over empty neighbours of the row:
// left-aligned text to the right, right-aligned to the left, centred text
// both ways. Widens the clip to the cells it covers and hides the gridlines
// it crosses.
void RangePainter::spill(BandRow &row, int column, int flags, double textWidth, QRectF &layout, QRect &clip)
{
    const CellRange &range = mGeometry.range();
    const int first = range.firstColumn;
    auto isFree = [&](int neighbour) {
        return neighbour >= range.firstColumn && neighbour <= range.lastColumn && row.merges[neighbour - first] < 0
               && !row.looks[neighbour - first].hasValue();
    };
    const bool centred = flags & Qt::AlignHCenter;
    const double centre = layout.center().x();
    const double start = centred ? centre - textWidth / 2 : layout.right() - textWidth;
    const double end = centred ? centre + textWidth / 2 : layout.left() + textWidth;
    int leftColumn = column, rightColumn = column;
    if (!(flags & Qt::AlignRight))
        while (end > mGeometry.columnRight(rightColumn) - kTextPadding && isFree(rightColumn + 1))
            ++rightColumn;
    if (!(flags & Qt::AlignLeft))
        while (start < mGeometry.columnLeft(leftColumn) + kTextPadding && isFree(leftColumn - 1))
            --leftColumn;
    for (int boundary = leftColumn; boundary < rightColumn; ++boundary)
        row.openBoundary[boundary - first] = 1;
    clip.setLeft(mGeometry.columnLeft(leftColumn));
    clip.setRight(mGeometry.columnRight(rightColumn) - 1);
    // Lay the text out wide enough never to be cut by the cell itself.
    const double extra = textWidth + 2.0 * kTextPadding;
    if (centred)
        layout.adjust(-extra, 0, extra, 0);
    else if (flags & Qt::AlignRight)
        layout.setLeft(layout.left() - extra);
    else
        layout.setRight(layout.right() + extra);
}

// Lays out one cell's text in `rect`. Text that does not fit spills over
// empty neighbours in `overflowRow` (if given); numbers never do.
bool RangePainter::layoutText(const CellLook &look, QRect rect, QRect clip, BandRow *overflowRow, int column,
                              TextItem &item)
{
    const Alignment &alignment = look.format->alignment;
    const Value &value = look.cell->value;
    const NumberFormat &numbers = numberFormat(*look.format);
    // Most cells of a chart's calendar hold a number their format hides.
    if (const double *number = std::get_if<double>(&value); number && numbers.showsNothingFor(*number))
        return false;
    const FormattedValue formatted = numbers.format(value);
    if (formatted.text.isEmpty() && !formatted.unrepresentable)
        return false;
    const bool isNumber = std::holds_alternative<double>(value);
    const bool stacked = alignment.rotation == 255;
    const bool wrap = alignment.wrap && !isNumber;

    item.font = &textFont(look);
    item.text = formatted.text;
    item.color = formatted.color && !look.conditionalColor ? *formatted.color : lineColor(look.fontColor);
    item.rotation = counterClockwiseDegrees(alignment.rotation);
    const HorizontalAlignment horizontal = effectiveAlignment(alignment.horizontal, value);
    int flags = alignmentFlags(horizontal, alignment.vertical);

    const int indent = alignment.indent * 3 * mGeometry.maximumDigitWidth();
    QRectF layout = QRectF(rect).adjusted(kTextPadding + (flags & Qt::AlignLeft ? indent : 0), 0,
                                          -kTextPadding - (flags & Qt::AlignRight ? indent : 0), -1);
    const double available = stacked ? layout.height() : roomAlong(item.rotation, layout.width(), layout.height());
    const QFontMetricsF &metrics = *item.font->metrics;
    double textWidth = stacked ? metrics.height() * item.text.size() : metrics.horizontalAdvance(item.text);

    if (formatted.unrepresentable) {
        item.text = QString(int(std::max(0.0, available) / metrics.horizontalAdvance(u'#')), u'#');
        textWidth = metrics.horizontalAdvance(item.text);
    } else if (isNumber && !alignment.shrinkToFit && textWidth > available) {
        if (!fitNumber(numbers, std::get<double>(value), metrics, available, item.text))
            return false;
        textWidth = metrics.horizontalAdvance(item.text);
    }
    if (item.text.isEmpty())
        return false;
    if (alignment.shrinkToFit && !wrap && textWidth > available && available > 0)
        item.shrink = available / textWidth;
    const bool plain = !stacked && !wrap && !item.font->qfont.underline() && !item.font->qfont.strikeOut()
                       && !item.text.front().isSpace() && !item.text.back().isSpace();
    if (horizontal == HorizontalAlignment::Fill && textWidth > 0)
        item.text = item.text.repeated(std::max(1, int(layout.width() / textWidth)));
    else if (plain)
        item.width = textWidth;

    if (stacked) {
        item.text = stackedLetters(item.text);
        flags = (flags & Qt::AlignVertical_Mask) | Qt::AlignHCenter;
    } else if (wrap) {
        flags |= Qt::TextWordWrap;
    } else if (item.rotation == 0 && overflowRow && !isNumber && textWidth > available) {
        spill(*overflowRow, column, flags, textWidth, layout, clip);
    }
    item.flags = flags;
    item.layout = layout;
    item.clip = clip;
    return true;
}

// The frame a text is laid out in. Shrunk text is the cell's font drawn
// smaller, not a smaller font: every label shrinks by its own factor, and
// each new size would load a font of its own. Without hinting the glyphs
// come out the same.
RangePainter::TextFrame RangePainter::textFrame(const TextItem &item)
{
    TextFrame frame;
    if (item.rotation == 0) {
        frame.transform.translate(item.layout.left(), item.layout.top());
        if (item.shrink < 1)
            frame.transform.scale(item.shrink, item.shrink);
        frame.rect = QRectF(QPointF(0, 0), item.layout.size() / item.shrink);
        frame.flags = item.flags;
        return frame;
    }
    // Turned text is laid out in a frame rotated about the cell's centre.
    const QRectF cell = item.layout;
    const double radians = std::abs(item.rotation) * M_PI / 180.0;
    const double along = cell.width() * std::cos(radians) + cell.height() * std::sin(radians);
    const double across = cell.width() * std::sin(radians) + cell.height() * std::cos(radians);
    frame.transform.translate(cell.center().x(), cell.center().y());
    frame.transform.rotate(-item.rotation);
    if (item.shrink < 1)
        frame.transform.scale(item.shrink, item.shrink);
    const bool up = item.rotation > 0;
    int flags = Qt::AlignVCenter;
    if (item.flags & Qt::AlignBottom)
        flags = up ? Qt::AlignLeft : Qt::AlignRight;
    else if (item.flags & Qt::AlignTop)
        flags = up ? Qt::AlignRight : Qt::AlignLeft;
    else
        flags = Qt::AlignHCenter;
    if (item.flags & Qt::AlignLeft)
        flags |= up ? Qt::AlignTop : Qt::AlignBottom;
    else if (item.flags & Qt::AlignRight)
        flags |= up ? Qt::AlignBottom : Qt::AlignTop;
    else
        flags |= Qt::AlignVCenter;
    const QRectF turned(-along / 2, -across / 2, along, across);
    frame.rect = QRectF(turned.topLeft() / item.shrink, turned.size() / item.shrink);
    frame.flags = flags;
    return frame;
}

// Where the line of a text starts on its baseline in its frame, as
// drawText places it, when its letters lie inside every clip its drawing
// would have: the band's part and the cell's clip (`clip`), and the frame,
// which drawText clips to when the line does not fit it. Such a text looks
// the same drawn from there without a clip.
std::optional<QPointF> RangePainter::unclippedStart(const TextItem &item, const TextFrame &frame, const QRectF &clip) const
{
    // Letters stand on 1/64 pixel; the margin covers that.
    constexpr double kMargin = 1.0 / 64;
    if (item.width < 0)
        return std::nullopt;
    const QFontMetricsF &metrics = *item.font->metrics;
    const QRectF &rect = frame.rect;
    const double height = metrics.ascent() + metrics.descent();
    double x = rect.left(), y = rect.top();
    if (frame.flags & Qt::AlignRight)
        x = rect.right() - item.width;
    else if (frame.flags & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - item.width) / 2;
    if (frame.flags & Qt::AlignBottom)
        y = rect.bottom() - height;
    else if (frame.flags & Qt::AlignVCenter)
        y = rect.top() + (rect.height() - height) / 2;
    const std::optional<QRectF> letters = mInk->bounds(*item.font->ink, item.text, item.width);
    if (!letters || letters->isEmpty())
        return std::nullopt;
    // drawText moves the line's top-left corner onto the 1/64-pixel grid,
    // towards zero.
    auto onGrid = [](double at) { return std::trunc(at * 64) / 64; };
    const QPointF start(onGrid(x), onGrid(y) + metrics.ascent());
    const QRectF ink = letters->translated(start).adjusted(-kMargin, -kMargin, kMargin, kMargin);
    const bool lineFits = rect.contains(QRectF(x, y, item.width, height));
    if (!(lineFits || rect.contains(ink)) || !clip.contains(frame.transform.mapRect(ink)))
        return std::nullopt;
    return start;
}

void RangePainter::paintTexts(QPainter &painter, const std::vector<TextItem> &texts, const QRect &part)
{
    const QTransform band = painter.worldTransform();
    const TextFont *font = nullptr;
    for (const TextItem &item : texts) {
        if (!item.clip.intersects(part))
            continue;
        const TextFrame frame = textFrame(item);
        const std::optional<QPointF> start
            = mInk ? unclippedStart(item, frame, QRectF(item.clip.intersected(part))) : std::nullopt;
        if (start && mPaperTexts->add(painter, item.font->paperFont, item.color, item.text, *start, frame.transform))
            continue;
        if (mPaperTexts)
            mPaperTexts->flush(painter);
        if (!start) {
            paintText(painter, item, frame);
            font = nullptr;
            continue;
        }
        if (font != item.font) {
            font = item.font;
            painter.setFont(font->qfont);
        }
        painter.setPen(item.color);
        if (frame.transform.type() <= QTransform::TxTranslate) {
            painter.drawText(frame.transform.map(*start), item.text);
        } else {
            painter.setWorldTransform(frame.transform * band);
            painter.drawText(*start, item.text);
            painter.setWorldTransform(band);
        }
    }
    if (mPaperTexts)
        mPaperTexts->flush(painter);
}

void RangePainter::paintText(QPainter &painter, const TextItem &item, const TextFrame &frame)
{
    painter.save();
    painter.setClipRect(item.clip, Qt::IntersectClip);
    painter.setFont(item.font->qfont);
    painter.setPen(item.color);
    painter.setWorldTransform(frame.transform, true);
    painter.drawText(frame.rect, frame.flags, item.text);
    painter.restore();
}

} // namespace orv::sheet
