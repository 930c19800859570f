#include "sheet/render/LetterInk.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

struct Case {
    const char *family;
    bool bold;
    const char *text;
};

class LetterInkTable : public testing::TestWithParam<Case> {};

// The oracle is the text drawn: every pixel it inks lies in the box, give or
// take the pixel that smoothing reaches beyond an outline.
TEST_P(LetterInkTable, BoxHoldsEveryPixelTheTextInks)
{
    QImage image(400, 80, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    QFont font(QString::fromLatin1(GetParam().family));
    font.setPointSizeF(11);
    font.setBold(GetParam().bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferNoShaping);
    const QFont onImage(font, &image);
    const QString text = QString::fromUtf8(GetParam().text);
    const QPointF start(20, 50);
    {
        QPainter painter(&image);
        painter.setFont(onImage);
        painter.drawText(start, text);
    }
    LetterInk ink;
    const double advance = QFontMetricsF(onImage, &image).horizontalAdvance(text);
    const std::optional<QRectF> box = ink.bounds(ink.face(onImage), text, advance);
    ASSERT_TRUE(box);
    const QRectF allowed = box->translated(start).adjusted(-1, -1, 1, 1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                ASSERT_TRUE(allowed.contains(QRectF(x, y, 1, 1))) << "pixel " << x << "," << y;
            }
    // Close enough to let most cells go without a clip.
    EXPECT_LT(box->width(), advance + 2);
}

INSTANTIATE_TEST_SUITE_P(Texts, LetterInkTable,
                         testing::Values(Case{"Carlito", false, "Task 12 / Déjà vu, gjpqy"},
                                         Case{"Carlito", true, "AVATAR fi ff 8/31"},
                                         Case{"Liberation Sans", false, "Wolf, Jäger & Ärzte {[|]}"},
                                         Case{"Liberation Sans", true, "/ÅÉÎÕÜ_ij"}));

TEST(LetterInk, CannotTellLettersAnotherFontDraws)
{
    QImage image(1, 1, QImage::Format_RGB32);
    QFont font(QStringLiteral("Carlito"));
    font.setPointSizeF(11);
    LetterInk ink;
    EXPECT_FALSE(ink.bounds(ink.face(QFont(font, &image)), QStringLiteral("Plan \u65E5\u672C"), 60));
}

} // namespace
} // namespace orv::sheet
