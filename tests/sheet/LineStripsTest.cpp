#include "sheet/render/LineStrips.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <vector>

namespace orv::sheet {
namespace {

struct Strip {
    QRect rect;
    QRgb color;
};

struct Case {
    const char *name;
    std::vector<Strip> strips; // in the order they are drawn
};

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

const Case kCases[] = {
    {"VerticalLineRowByRow", {{{5, 0, 1, 4}, kBlack}, {{5, 4, 1, 3}, kBlack}, {{5, 7, 1, 5}, kBlack}}},
    {"CrossingLinesOfTwoColoursLastWins",
     {{{5, 0, 1, 12}, kBlack}, {{0, 6, 12, 1}, kRed}, {{8, 0, 1, 12}, kBlack}, {{0, 9, 12, 1}, kRed}}},
    {"DoubleLineWithItsWhiteMiddle",
     {{{0, 3, 12, 1}, kBlack}, {{0, 4, 12, 1}, kWhite}, {{0, 5, 12, 1}, kBlack}, {{6, 0, 1, 12}, kRed}}},
    {"RunsOverlappingByAPixel", {{{0, 2, 7, 1}, kBlack}, {{6, 2, 6, 1}, kRed}, {{0, 3, 7, 1}, kBlack}}},
};

QImage painted(const std::function<void(QPainter &)> &paint)
{
    QImage image(12, 12, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    paint(painter);
    return image;
}

QImage throughStrips(const Case &c, bool batched)
{
    return painted([&](QPainter &painter) {
        LineStrips strips(painter, batched);
        for (const Strip &strip : c.strips)
            strips.add(strip.rect, QColor::fromRgb(strip.color));
        strips.finish();
    });
}

class LineStripsTable : public testing::TestWithParam<Case> {};

// Batched or not, the strips leave the pixels that filling them one by one
// in their order leaves.
TEST_P(LineStripsTable, PaintTheStripsAsFilledInOrder)
{
    const QImage oneByOne = painted([&](QPainter &painter) {
        for (const Strip &strip : GetParam().strips)
            painter.fillRect(strip.rect, QColor::fromRgb(strip.color));
    });
    EXPECT_EQ(throughStrips(GetParam(), false), oneByOne);
    EXPECT_EQ(throughStrips(GetParam(), true), oneByOne);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineStripsTable, testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace orv::sheet
