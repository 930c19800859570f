#include "RenderTestSheet.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

using test::filled;
using test::RenderTestSheet;

const CellRange kBlock{0, 0, 3, 3};

class RenderFills : public RenderTestSheet, public ::testing::Test {};

TEST_F(RenderFills, PaintTheWholeCellAndLeaveEmptyCellsWhite)
{
    put({1, 1}, {}, filled(0x33CCCC));
    put({3, 3}, QStringLiteral(""));
    const QImage image = render(kBlock);
    EXPECT_EQ(image.size(), QSize(4 * 64, 4 * 20));
    const QRect cell = cellRect(kBlock, {1, 1});
    EXPECT_EQ(centre(image, cell), QColor(0x33CCCC));
    EXPECT_EQ(image.pixelColor(cell.topLeft()), QColor(0x33CCCC));
    EXPECT_EQ(image.pixelColor(cell.bottomRight()), QColor(0x33CCCC));
    EXPECT_EQ(image.pixelColor(cell.bottomRight() + QPoint(1, 1)), QColor(Qt::white));
    EXPECT_EQ(ink(image, cellRect(kBlock, {0, 0})), 0);
}

TEST_F(RenderFills, ShowGridlinesOnlyWhenTheViewDoes)
{
    put({1, 1}, {}, filled(0xFF8080));
    put({3, 3}, QStringLiteral(""));
    const QRect empty = cellRect(kBlock, {0, 0});
    EXPECT_EQ(ink(render(kBlock), empty), 0);

    sheet.view().showGridlines = true;
    const QImage image = render(kBlock);
    const QColor grid = image.pixelColor(empty.right(), empty.center().y());
    EXPECT_LT(grid.lightness(), 240);
    EXPECT_GT(grid.lightness(), 150); // light grey, not black
    EXPECT_EQ(image.pixelColor(empty.center().x(), empty.bottom()), grid);
    EXPECT_EQ(image.pixelColor(empty.center()), QColor(Qt::white));
    // A fill hides the gridlines along its edges.
    const QRect filledCell = cellRect(kBlock, {1, 1});
    EXPECT_EQ(image.pixelColor(filledCell.right(), filledCell.center().y()), QColor(0xFF8080));
}

TEST_F(RenderFills, IgnoreFrozenPanes)
{
    put({1, 1}, QStringLiteral("x"), filled(0x99CCFF));
    put({3, 3}, 5.0);
    const QImage plain = render(kBlock);
    sheet.view().frozenRows = 2;
    sheet.view().frozenColumns = 1;
    EXPECT_EQ(render(kBlock), plain);
}

struct EdgeCase {
    BorderStyle left;  // the right border of the left cell
    BorderStyle right; // the left border of the right cell
    BorderStyle drawn;
};

void PrintTo(const EdgeCase &c, std::ostream *out)
{
    *out << int(c.left) << " against " << int(c.right);
}

class RenderSharedEdges : public RenderTestSheet, public ::testing::TestWithParam<EdgeCase> {};

// The strongest of the two lines on a shared edge is drawn, once.
TEST_P(RenderSharedEdges, DrawTheStrongerLine)
{
    CellFormat leftFormat;
    leftFormat.borders.right = {GetParam().left, Color::fromRgb(0xFF0000)};
    CellFormat rightFormat;
    rightFormat.borders.left = {GetParam().right, Color::fromRgb(0x0000FF)};
    put({1, 1}, {}, leftFormat);
    put({1, 2}, {}, rightFormat);
    const CellRange range{0, 0, 2, 3};
    const QImage image = render(range);
    const int edge = cellRect(range, {1, 2}).left() - 1;
    const int y = cellRect(range, {1, 1}).center().y();
    const QColor expected = GetParam().drawn == GetParam().left ? QColor(0xFF0000) : QColor(0x0000FF);
    const int width = GetParam().drawn == BorderStyle::Medium ? 2 : GetParam().drawn == BorderStyle::Thick ? 3 : 1;
    const int first = width == 1 ? edge : edge - 1;
    for (int x = first; x < first + width; ++x)
        EXPECT_EQ(image.pixelColor(x, y), expected) << "x " << x;
    EXPECT_EQ(image.pixelColor(first - 1, y), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(first + width, y), QColor(Qt::white));
}

INSTANTIATE_TEST_SUITE_P(Styles, RenderSharedEdges, ::testing::Values(
    EdgeCase{BorderStyle::Thin, BorderStyle::None, BorderStyle::Thin},
    EdgeCase{BorderStyle::None, BorderStyle::Thin, BorderStyle::Thin},
    EdgeCase{BorderStyle::Thin, BorderStyle::Thick, BorderStyle::Thick},
    EdgeCase{BorderStyle::Medium, BorderStyle::Thin, BorderStyle::Medium},
    EdgeCase{BorderStyle::Hair, BorderStyle::Medium, BorderStyle::Medium},
    EdgeCase{BorderStyle::Thick, BorderStyle::Dashed, BorderStyle::Thick}));

TEST_F(RenderFills, DrawDoubleLinesWithAGapAndDashedLinesBroken)
{
    CellFormat format;
    format.borders.bottom = {BorderStyle::Double, Color::fromRgb(0x000080)};
    format.borders.top = {BorderStyle::Dotted, Color::fromRgb(0x008000)};
    put({1, 1}, {}, format);
    const CellRange range{0, 0, 2, 2};
    const QImage image = render(range);
    const QRect cell = cellRect(range, {1, 1});
    const int x = cell.center().x();
    EXPECT_EQ(image.pixelColor(x, cell.bottom() - 1), QColor(0x000080));
    EXPECT_EQ(image.pixelColor(x, cell.bottom()), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(x, cell.bottom() + 1), QColor(0x000080));
    int dots = 0;
    for (int column = cell.left(); column < cell.right(); ++column)
        dots += image.pixelColor(column, cell.top() - 1) == QColor(0x008000) ? 1 : 0;
    EXPECT_GT(dots, cell.width() / 3);
    EXPECT_LT(dots, cell.width() * 2 / 3);
}

class RenderMerged : public RenderTestSheet, public ::testing::Test {};

TEST_F(RenderMerged, DrawsTheTopLeftCellOverTheWholeRange)
{
    sheet.view().showGridlines = true;
    CellFormat format = filled(0x333399);
    format.alignment.horizontal = HorizontalAlignment::Center;
    format.font.color = Color::fromRgb(0xFFFFFF);
    put({0, 0}, QStringLiteral("Deliverable"), format);
    put({1, 1}, 99.0, filled(0xFF0000)); // hidden under the merge
    sheet.mergedRanges().push_back({0, 0, 1, 1});
    put({3, 3}, QStringLiteral(""));
    const QImage image = render(kBlock);
    EXPECT_EQ(image.pixelColor(cellRect(kBlock, {1, 1}).bottomRight() - QPoint(1, 1)), QColor(0x333399));
    EXPECT_EQ(image.pixelColor(cellRect(kBlock, {1, 0}).topLeft() + QPoint(1, 1)), QColor(0x333399));
    // No gridline inside the merged range.
    const QRect first = cellRect(kBlock, {0, 0});
    EXPECT_EQ(image.pixelColor(first.right(), first.top() + 1), QColor(0x333399));
    EXPECT_EQ(image.pixelColor(first.left() + 1, first.bottom()), QColor(0x333399));
    // The centred text straddles the edge between the merged columns.
    const QRect merged = first.united(cellRect(kBlock, {1, 1}));
    int whiteLeft = 0, whiteRight = 0;
    for (int y = merged.top(); y <= merged.bottom(); ++y) {
        for (int x = merged.left(); x <= merged.right(); ++x) {
            if (image.pixelColor(x, y).lightness() > 200)
                (x < first.right() ? whiteLeft : whiteRight) += 1;
        }
    }
    EXPECT_GT(whiteLeft, 10);
    EXPECT_GT(whiteRight, 10);
}

} // namespace
} // namespace orv::sheet
