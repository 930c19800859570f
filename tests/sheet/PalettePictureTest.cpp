#include "sheet/render/PalettePicture.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

// A band of `rows` rows: a fill of `area` across the left half, and 300
// different shades of grey, one pixel each, on the right.
QImage bandWithShades(int rows, QRgb area, int firstShade)
{
    QImage band(600, rows, QImage::Format_RGB32);
    band.fill(QColor(Qt::white));
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < 300; ++x)
            band.setPixel(x, y, area);
    for (int i = 0; i < 300; ++i) {
        const int level = (firstShade + i) % 256;
        band.setPixel(300 + i, i % rows, qRgb(level, level, (level + i) % 256));
    }
    return band;
}

TEST(PalettePicture, FillsStayExactWhenShadesOutnumberThePalette)
{
    PalettePicture picture({600, 30});
    picture.addBand(bandWithShades(10, qRgb(30, 60, 200), 0), 0, 10, false);
    // A fill seen first in a later band still finds room.
    picture.addBand(bandWithShades(10, qRgb(250, 120, 10), 7), 10, 10, false);
    picture.addBand(bandWithShades(10, qRgb(0, 200, 0), 13), 20, 10, true);
    const QImage kept = picture.take();
    ASSERT_EQ(kept.format(), QImage::Format_Indexed8);
    EXPECT_LE(kept.colorCount(), 256);
    EXPECT_EQ(kept.pixel(5, 5), qRgb(30, 60, 200));
    EXPECT_EQ(kept.pixel(5, 15), qRgb(250, 120, 10));
    EXPECT_EQ(kept.pixel(5, 25), qRgb(0, 200, 0));
    EXPECT_EQ(kept.pixel(599, 20), qRgb(255, 255, 255));
}

TEST(PalettePicture, AShadeOutsideThePaletteShowsAsTheNearestColour)
{
    PalettePicture picture({600, 10});
    picture.addBand(bandWithShades(10, qRgb(30, 60, 200), 0), 0, 10, false);
    const QImage kept = picture.take();
    EXPECT_EQ(kept.colorCount(), 2); // the blue fill and the white
    EXPECT_EQ(kept.pixel(301, 1), qRgb(30, 60, 200)); // (1, 1, 2) is nearer the blue
    EXPECT_EQ(kept.pixel(550, 0), qRgb(255, 255, 255)); // (250, 250, 244)
}

TEST(PalettePicture, ASmallPictureKeepsItsCommonestColoursExact)
{
    PalettePicture picture({600, 10});
    picture.addBand(bandWithShades(10, qRgb(30, 60, 200), 0), 0, 10, true);
    const QImage kept = picture.take();
    EXPECT_EQ(kept.colorCount(), 256);
    EXPECT_EQ(kept.pixel(0, 0), qRgb(30, 60, 200));
    EXPECT_EQ(kept.pixel(599, 0), qRgb(255, 255, 255));
}

// Text shades that each cover enough pixels to count as areas can fill the
// palette in the first band; a colour the cells are known to fill with was
// in it from the start.
TEST(PalettePicture, KnownAreaColoursStayExactWhenEarlierShadesFillThePalette)
{
    const QRgb bar = qRgb(0, 255, 0);
    PalettePicture picture({300, 80}, {bar});
    QImage shades(300, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x)
            shades.setPixel(x, y, qRgb(x % 256, x / 256 * 100, 0));
    picture.addBand(shades, 0, 40, false);
    QImage bars(300, 40, QImage::Format_RGB32);
    bars.fill(bar);
    picture.addBand(bars, 40, 40, true);
    const QImage kept = picture.take();
    EXPECT_EQ(kept.colorCount(), 256);
    EXPECT_EQ(kept.pixel(150, 60), bar);
}

// Rows are kept as the row above with the changed span looked up again; a
// colour that joins the palette in a later band must still show exactly in
// the rows that repeat an earlier band's.
TEST(PalettePicture, AColourAdmittedLaterIsExactInRowsThatRepeatTheBandBefore)
{
    const QRgb shade = qRgb(200, 40, 40);
    const auto band = [&](int rows) {
        QImage image(100, rows, QImage::Format_RGB32);
        image.fill(QColor(Qt::white));
        for (int y = 0; y < rows; ++y)
            image.setPixel(5, y, shade);
        return image;
    };
    PalettePicture picture({100, 40});
    picture.addBand(band(10), 0, 10, false); // 10 pixels: not yet an area
    picture.addBand(band(30), 10, 30, false);
    const QImage kept = picture.take();
    EXPECT_EQ(kept.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(kept.pixel(5, 10), shade);
    EXPECT_EQ(kept.pixel(5, 39), shade);
    EXPECT_EQ(kept.pixel(6, 39), qRgb(255, 255, 255));
}

} // namespace
} // namespace orv::sheet
