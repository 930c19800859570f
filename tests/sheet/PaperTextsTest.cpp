#include "sheet/render/PaperTexts.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

struct Placed {
    const char *text;
    QPointF start;
    QRgb color;
    double turn = 0; // degrees about the start, as turned cell texts
    double scale = 1; // as shrunk cell texts

    QTransform frame() const
    {
        QTransform frame;
        frame.translate(start.x(), start.y());
        frame.rotate(-turn);
        frame.scale(scale, scale);
        return frame;
    }
};

QImage blankPage()
{
    QImage image(420, 120, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

// The largest difference of one colour channel between two pictures of one
// size. A glyph drawn a whole pixel away differs by most of the scale at its
// edges; placed a fraction of a pixel away, by a little.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

QFont paperFont(const char *family, bool bold)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(11);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// Texts of two colours at places off the pixel grid, the same text twice
// (laid out once), a change of colour in between, texts turned and shrunk
// in frames of their own, under a scale as on a printed page.
const Placed kTexts[] = {
    {"Task 12", {10.3, 30.7}, 0x000000},
    {"12/31", {140.55, 30.7}, 0x000000},
    {"45%", {200.02, 30.7}, 0x993300},
    {"Task 12", {10.3, 60.25}, 0x000000},
    {"Wij fly AVA", {90.8, 60.25}, 0x993300},
    {"\u00c5\u00c9\u00df", {10, 90}, 0x993300},
    {"1/14", {250.4, 80.2}, 0x000000, 89},
    {"1/15", {262.9, 80.2}, 0x000000, 89},
    {"January", {280.1, 40.6}, 0x000000, 0, 0.41},
    {"February", {280.1, 70.6}, 0x000000, 0, 0.41},
};

class PaperTextsTable : public testing::TestWithParam<std::pair<const char *, bool>> {};

// The oracle: the same texts drawn one by one with drawText. On paper the
// glyphs are written where they stand; on a picture the rasteriser may pick
// another sub-pixel image of a glyph.
TEST_P(PaperTextsTable, RunsInkWhatDrawingTextsOneByOneInks)
{
    const QFont font = paperFont(GetParam().first, GetParam().second);
    QImage oneByOne = blankPage();
    {
        QPainter painter(&oneByOne);
        painter.scale(1.3, 1.3);
        painter.setFont(font);
        const QTransform page = painter.worldTransform();
        for (const Placed &placed : kTexts) {
            painter.setPen(QColor::fromRgb(placed.color));
            painter.setWorldTransform(placed.frame() * page);
            painter.drawText(QPointF(0, 0), QString::fromUtf8(placed.text));
        }
    }
    QImage inRuns = blankPage();
    {
        QPainter painter(&inRuns);
        painter.scale(1.3, 1.3);
        PaperTexts texts;
        const int id = texts.fontId(font);
        for (const Placed &placed : kTexts)
            ASSERT_TRUE(texts.add(painter, id, QColor::fromRgb(placed.color), QString::fromUtf8(placed.text), {0, 0},
                                  placed.frame()))
                << placed.text;
        texts.flush(painter);
    }
    EXPECT_LT(largestDifference(inRuns, oneByOne), 128);
}

INSTANTIATE_TEST_SUITE_P(Fonts, PaperTextsTable,
                         testing::Values(std::pair{"Carlito", false}, std::pair{"Carlito", true},
                                         std::pair{"Liberation Sans", false}));

// Texts a run cannot carry are left to the caller, and nothing of them is drawn.
TEST(PaperTexts, LeavesUnderlinedTextsAndTextsOfSeveralFacesToTheCaller)
{
    QImage page = blankPage();
    QPainter painter(&page);
    PaperTexts texts;
    QFont underlined = paperFont("Carlito", false);
    underlined.setUnderline(true);
    EXPECT_FALSE(texts.add(painter, texts.fontId(underlined), Qt::black, QStringLiteral("Task"), {10, 30}));
    const int plain = texts.fontId(paperFont("Carlito", false));
    EXPECT_FALSE(texts.add(painter, plain, Qt::black, QStringLiteral("Task \u2603\u65e5"), {10, 60}));
    EXPECT_FALSE(texts.add(painter, plain, Qt::black, QString(), {10, 90}));
    texts.flush(painter);
    painter.end();
    EXPECT_EQ(page, blankPage());
}

} // namespace
} // namespace orv::sheet
