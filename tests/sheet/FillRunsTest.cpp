#include "sheet/render/FillRuns.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <vector>

namespace orv::sheet {
namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

struct Case {
    const char *name;
    std::vector<FillRuns::Run> added; // row by row from the top
    std::vector<FillRuns::Run> joined;
};

// Rectangles worked out by hand from the cells as added.
const Case kCases[] = {
    {"ColumnOfOneColourBecomesOne",
     {{{0, 0, 10, 5}, kRed}, {{0, 5, 10, 7}, kRed}, {{0, 12, 10, 5}, kRed}},
     {{{0, 0, 10, 17}, kRed}}},
    {"OtherColourWidthOrLeftStaysApart",
     {{{0, 0, 10, 5}, kRed}, {{0, 5, 10, 5}, kBlue}, {{0, 10, 12, 5}, kRed}, {{1, 15, 10, 5}, kRed}},
     {{{0, 0, 10, 5}, kRed}, {{0, 5, 10, 5}, kBlue}, {{0, 10, 12, 5}, kRed}, {{1, 15, 10, 5}, kRed}}},
    {"GapBetweenRowsStartsAnew",
     {{{0, 0, 10, 5}, kRed}, {{0, 6, 10, 5}, kRed}, {{0, 11, 10, 5}, kRed}},
     {{{0, 0, 10, 5}, kRed}, {{0, 6, 10, 10}, kRed}}},
    {"ColumnsSideBySideEachJoinDown",
     {{{0, 0, 10, 5}, kRed}, {{10, 0, 5, 5}, kBlue}, {{0, 5, 10, 5}, kRed}, {{10, 5, 5, 5}, kBlue}},
     {{{0, 0, 10, 10}, kRed}, {{10, 0, 5, 10}, kBlue}}},
};

QImage painted(const std::function<void(QPainter &)> &paint)
{
    QImage image(20, 25, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter);
    return image;
}

class FillRunsTable : public testing::TestWithParam<Case> {};

TEST_P(FillRunsTable, JoinsRunsDownAndPaintsTheSamePixels)
{
    FillRuns fills;
    for (const FillRuns::Run &run : GetParam().added)
        fills.add(run.rect, QColor::fromRgb(run.color));
    EXPECT_EQ(fills.runs(), GetParam().joined);

    const QImage oneByOne = painted([&](QPainter &painter) {
        for (const FillRuns::Run &run : GetParam().added)
            painter.fillRect(run.rect, QColor::fromRgb(run.color));
    });
    EXPECT_EQ(painted([&](QPainter &painter) { fills.paint(painter, false); }), oneByOne);
    EXPECT_EQ(painted([&](QPainter &painter) { fills.paint(painter, true); }), oneByOne);
}

INSTANTIATE_TEST_SUITE_P(Cases, FillRunsTable, testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace orv::sheet
