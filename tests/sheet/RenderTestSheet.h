#pragma once

#include "sheet/model/Workbook.h"
#include "sheet/render/SheetGeometry.h"
#include "sheet/render/SheetPicture.h"

#include <QImage>

namespace orv::sheet::test {

// A one-sheet workbook to draw, with helpers to place cells and to look at
// the picture by cell.
class RenderTestSheet {
public:
    RenderTestSheet() : sheet(workbook.addSheet(QStringLiteral("Plan"))) { sheet.view().showGridlines = false; }

    void put(CellAddress at, Value value, const CellFormat &format = {})
    {
        Cell cell;
        cell.value = std::move(value);
        cell.formatIndex = workbook.addFormat(format);
        sheet.setCell(at, cell);
    }

    QImage render(CellRange range, const RenderOptions &options = {}) const
    {
        return renderRange(workbook, 0, range, options);
    }

    // The pixel rectangle of a cell in the picture of `range`.
    QRect cellRect(CellRange range, CellAddress at) const
    {
        const SheetGeometry geometry(workbook, sheet, range);
        return QRect(geometry.columnLeft(at.column), int(geometry.rowTop(at.row)), geometry.columnWidth(at.column),
                     geometry.rowHeight(at.row));
    }

    static QColor centre(const QImage &image, QRect rect) { return image.pixelColor(rect.center()); }

    // Pixels that are not white inside `rect`.
    static int ink(const QImage &image, QRect rect)
    {
        int count = 0;
        rect = rect.intersected(image.rect());
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                count += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
        return count;
    }

    // The smallest rectangle holding every non-white pixel of `rect`.
    static QRect inkBounds(const QImage &image, QRect rect)
    {
        QRect bounds;
        rect = rect.intersected(image.rect());
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    }

    Workbook workbook;
    Sheet &sheet;
};

inline CellFormat filled(QRgb rgb)
{
    CellFormat format;
    format.fill = {FillPattern::Solid, Color::fromRgb(rgb)};
    return format;
}

inline CellFormat aligned(HorizontalAlignment horizontal)
{
    CellFormat format;
    format.alignment.horizontal = horizontal;
    return format;
}

} // namespace orv::sheet::test
