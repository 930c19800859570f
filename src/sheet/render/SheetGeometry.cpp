#include "sheet/render/SheetGeometry.h"

#include "files/Failure.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/ScreenFonts.h"

#include <algorithm>
#include <cmath>

namespace orv::sheet {

namespace pixels {

int columnPadding(int mdw) { return std::max((mdw + 3) / 4, 2) * 2 + 1; }

int columnWidth(double characters, int mdw)
{
    if (characters <= 0)
        return 0;
    const int padding = columnPadding(mdw);
    // Below one character the padding shrinks with the width.
    if (characters < 1)
        return static_cast<int>(std::trunc(characters * (mdw + padding) + 0.5));
    // The stored width in 1/256 characters, padding included, then back to pixels.
    const double stored = std::trunc((characters * mdw + padding) / mdw * 256.0);
    return static_cast<int>(std::trunc((stored + std::trunc(128.0 / mdw)) / 256.0 * mdw));
}

int defaultColumnWidth(int characters, int mdw)
{
    const int width = columnWidth(characters, mdw);
    return (width + 7) / 8 * 8;
}

int rowHeight(double points) { return static_cast<int>(std::lround(points * kScreenDpi / 72.0)); }

} // namespace pixels

SheetGeometry::SheetGeometry(const Workbook &workbook, const Sheet &sheet, CellRange range)
    : mRange(range), mMdw(sheet::maximumDigitWidth(workbook.format(0).font))
{
    if (range.firstRow < 0 || range.firstColumn < 0 || range.lastRow >= kMaxRows || range.lastColumn >= kMaxColumns
        || range.firstRow > range.lastRow || range.firstColumn > range.lastColumn)
        throw Failure(QStringLiteral("Rows %1 to %2 and columns %3 to %4 are not a range of the sheet")
                          .arg(range.firstRow + 1)
                          .arg(range.lastRow + 1)
                          .arg(range.firstColumn + 1)
                          .arg(range.lastColumn + 1));
    const int defaultWidth = pixels::defaultColumnWidth(sheet.defaultColumnWidth(), mMdw);
    mColumnEdges.reserve(range.columnCount() + 1);
    mColumnEdges.push_back(0);
    for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
        const ColumnInfo *info = sheet.columnInfo(column);
        const int width = !info ? defaultWidth : info->hidden ? 0 : pixels::columnWidth(info->width, mMdw);
        mColumnEdges.push_back(mColumnEdges.back() + width);
    }
    mRowEdges.reserve(range.rowCount() + 1);
    mRowEdges.push_back(0);
    for (int row = range.firstRow; row <= range.lastRow; ++row) {
        const RowInfo *info = sheet.rowInfo(row);
        const int height = info && info->hidden ? 0 : pixels::rowHeight(sheet.rowHeight(row));
        mRowEdges.push_back(mRowEdges.back() + height);
    }
}

int SheetGeometry::rowAt(qint64 y) const
{
    const auto found = std::upper_bound(mRowEdges.begin() + 1, mRowEdges.end(), y);
    return mRange.firstRow + int(found - (mRowEdges.begin() + 1));
}

int SheetGeometry::columnAt(qint64 x) const
{
    const auto found = std::upper_bound(mColumnEdges.begin() + 1, mColumnEdges.end(), x);
    return mRange.firstColumn + int(found - (mColumnEdges.begin() + 1));
}

} // namespace orv::sheet
