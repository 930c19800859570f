#include "preview/PictureScaling.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace orv::preview {
namespace {

// Stripes of colour and thin grid lines, as a chart has them.
QImage chartLike(QSize size, QImage::Format format)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (int y = 0; y < size.height(); y += 19) {
        painter.fillRect(0, y + 4, size.width(), 10, QColor::fromHsv((y * 7) % 360, 120, 240));
        painter.fillRect(0, y, size.width(), 1, Qt::gray);
    }
    painter.end();
    return picture.convertToFormat(format);
}

int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); x += 7) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

class PictureScalingZooms : public ::testing::TestWithParam<double> {};

// A compact picture is scaled strip by strip; the result matches scaling the
// whole picture at once, seams included.
TEST_P(PictureScalingZooms, StripsOfACompactPictureMatchTheWholePicture)
{
    const QImage compact = chartLike({300, 1100}, QImage::Format_RGB16);
    const QSize target(int(300 * GetParam()), int(1100 * GetParam()));
    const QImage banded = smoothlyScaled(compact, compact.rect(), target);
    const QImage whole = compact.convertToFormat(QImage::Format_RGB32)
                             .scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    ASSERT_EQ(banded.size(), target);
    EXPECT_EQ(banded.format(), QImage::Format_RGB32);
    EXPECT_LE(largestDifference(banded, whole), 40);
}

INSTANTIATE_TEST_SUITE_P(Levels, PictureScalingZooms, ::testing::Values(0.25, 0.75, 1.25, 2.0, 3.75));

TEST(PictureScaling, ShrinkingBlendsThinLinesRatherThanDroppingThem)
{
    const QImage picture = chartLike({400, 380}, QImage::Format_RGB32);
    const QImage quarter = smoothlyScaled(picture, picture.rect(), {100, 95});
    // Every 19-pixel row band keeps a trace of its grey line and its bar.
    int tinted = 0;
    for (int y = 0; y < quarter.height(); ++y)
        tinted += quarter.pixelColor(50, y) != QColor(Qt::white);
    EXPECT_GT(tinted, quarter.height() * 3 / 4);
}

TEST(PictureScaling, NothingToScaleGivesNoPicture)
{
    EXPECT_TRUE(smoothlyScaled(QImage(), QRect(0, 0, 10, 10), {5, 5}).isNull());
    const QImage picture = chartLike({10, 10}, QImage::Format_RGB32);
    EXPECT_TRUE(smoothlyScaled(picture, QRect(), {5, 5}).isNull());
}

} // namespace
} // namespace orv::preview
