#include "RenderTestSheet.h"
#include "sheet/render/RangePainter.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace orv::sheet::test {
namespace {

struct Band {
    qint64 top;
    int height, left, width;
};

QImage paintedBand(RangePainter &painter, const Band &band)
{
    QImage image(band.left + band.width, band.height, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter onImage(&image);
    painter.paintBand(onImage, band.top, band.height, band.left, band.width);
    return image;
}

// One painter asked for bands in turn, the same ones again among others,
// draws each as a painter that draws only that band: a band it laid out
// before is drawn again as it was, and no other band's layout leaks in.
TEST(RangePainterBands, EachBandAsAFreshPainterDrawsIt)
{
    RenderTestSheet s;
    CellFormat bordered;
    bordered.borders.bottom = {BorderStyle::Thin, {}};
    bordered.fill = {FillPattern::Solid, Color::fromRgb(0xFFCC99)};
    for (int row = 0; row < 40; ++row) {
        s.put({row, 0}, QStringLiteral("Task %1 with a name that spills over").arg(row + 1));
        s.put({row, 3}, double(row), bordered);
    }
    const CellRange range{0, 0, 39, 5};
    const SheetGeometry geometry(s.workbook, s.sheet, range);
    const int width = int(geometry.width());
    const Band bands[] = {{0, 100, 0, width}, {100, 100, 0, width}, {0, 100, 0, width},
                          {0, 100, 40, width - 40}, {100, 100, 0, width}};
    RangePainter reused(s.workbook, s.sheet, geometry, {});
    for (const Band &band : bands) {
        RangePainter fresh(s.workbook, s.sheet, geometry, {});
        EXPECT_EQ(paintedBand(reused, band), paintedBand(fresh, band)) << "band at " << band.top << ", " << band.left;
    }
}

} // namespace
} // namespace orv::sheet::test
