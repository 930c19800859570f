// The calendar's day dates in rows 6-7 as our picture shows them: every
// date, five characters long included, drawn at a readable size.

#include "TemplateUnderTest.h"
#include "sheet/formula/Evaluator.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/render/FormulaRules.h"
#include "sheet/render/SheetGeometry.h"
#include "sheet/render/SheetPicture.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace orv::chart::testing {
namespace {

using namespace sheet;

// The smallest rectangle of the dark (text) pixels in `rect`; the fills
// of the conditional formats are all light.
QRect textBounds(const QImage &image, QRect rect)
{
    QRect bounds;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

TEST(TemplateDayDates, AreDrawnUprightAtLeastSevenPixelsHighInsideTheirCells)
{
    // Today is 7 December 2026: the calendar runs from 7 November and holds
    // 11/27, 12/31 and the other five-character dates.
    Workbook book = readChartTemplate();
    const orv::test::FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 30))};
    recalculate(book, clock);
    const Evaluator evaluator(book, clock);
    const CellRange dates = area("H6:GU7");
    const QImage picture = renderRange(book, 0, dates, {formulaRules(evaluator)});
    const SheetGeometry geometry(book, book.sheet(0), dates);
    const int top = int(geometry.rowTop(5));
    const int height = int(geometry.rowTop(6) + geometry.rowHeight(6)) - top;
    for (int column = dates.firstColumn; column <= dates.lastColumn; ++column) {
        const QRect cell(geometry.columnLeft(column), top, geometry.columnWidth(column), height);
        const QRect text = textBounds(picture, cell.adjusted(1, 1, -1, -1));
        SCOPED_TRACE(column);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_GE(text.width(), 7) << "letters across the column";
        EXPECT_GT(text.height(), text.width()) << "the date runs up the cell";
    }
}

} // namespace
} // namespace orv::chart::testing
