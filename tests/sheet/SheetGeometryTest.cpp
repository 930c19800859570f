#include "files/Failure.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/ScreenFonts.h"
#include "sheet/render/SheetGeometry.h"

#include <QFontInfo>
#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

struct DigitWidthCase {
    const char *family;
    double points;
    int pixels;
};

class MaximumDigitWidth : public ::testing::TestWithParam<DigitWidthCase> {};

TEST_P(MaximumDigitWidth, ComesFromTheExactFontMetrics)
{
    Font font;
    font.name = QString::fromLatin1(GetParam().family);
    font.size = GetParam().points;
    EXPECT_EQ(maximumDigitWidth(font), GetParam().pixels);
}

const DigitWidthCase kBodyFonts[] = {
    {"Calibri", 11, 7}, {"Arial", 10, 7}, {"Calibri", 8, 5}, {"Calibri", 20, 13}};

INSTANTIATE_TEST_SUITE_P(BodyFonts, MaximumDigitWidth, ::testing::ValuesIn(kBodyFonts));

// Widths once measured are kept per font: asked again, and in between for
// other fonts, each font still gets its own.
TEST(MaximumDigitWidths, StayEachFontsOwnWhenAskedAgain)
{
    for (int round = 0; round < 2; ++round)
        for (const DigitWidthCase &c : kBodyFonts) {
            Font font;
            font.name = QString::fromLatin1(c.family);
            font.size = c.points;
            EXPECT_EQ(maximumDigitWidth(font), c.pixels) << c.family << " " << c.points << " round " << round;
        }
}

TEST(ScreenFontFamilies, StandInForTheWorkbookFonts)
{
    EXPECT_EQ(installedFamily(QStringLiteral("Calibri")), QStringLiteral("Carlito"));
    EXPECT_EQ(installedFamily(QStringLiteral("arial")), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(installedFamily(QStringLiteral("DejaVu Sans")), QStringLiteral("DejaVu Sans"));
    Font calibri;
    EXPECT_EQ(QFontInfo(screenFont(calibri)).family(), QStringLiteral("Carlito"));
    Font arial;
    arial.name = QStringLiteral("Arial");
    EXPECT_EQ(QFontInfo(screenFont(arial)).family(), QStringLiteral("Liberation Sans"));
}

struct ColumnCase {
    double characters;
    int mdw;
    int pixels;
};

class ColumnPixels : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnPixels, FollowTheSpreadsheetRounding)
{
    EXPECT_EQ(pixels::columnWidth(GetParam().characters, GetParam().mdw), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Widths, ColumnPixels, ::testing::Values(
    ColumnCase{8.43, 7, 64},
    ColumnCase{2.0, 7, 19},
    ColumnCase{1.375, 7, 15},
    ColumnCase{2.125, 7, 20},
    ColumnCase{25.875, 7, 186},
    ColumnCase{5.75, 7, 45},
    ColumnCase{10.0, 7, 75},
    ColumnCase{0.75, 7, 9},
    ColumnCase{0.5, 7, 6},
    ColumnCase{0.0, 7, 0},
    ColumnCase{8.43, 8, 72},
    ColumnCase{10.0, 10, 107}));

TEST(DefaultColumnPixels, RoundUpToAMultipleOfEight)
{
    EXPECT_EQ(pixels::defaultColumnWidth(8, 7), 64);
    EXPECT_EQ(pixels::defaultColumnWidth(10, 7), 80); // 75 px rounded up
    EXPECT_EQ(pixels::columnPadding(7), 5);
    EXPECT_EQ(pixels::columnPadding(10), 7);
    EXPECT_EQ(pixels::columnPadding(3), 5);
}

struct RowCase {
    double points;
    int pixels;
};

class RowPixels : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowPixels, AreFourThirdsOfThePoints) { EXPECT_EQ(pixels::rowHeight(GetParam().points), GetParam().pixels); }

INSTANTIATE_TEST_SUITE_P(Heights, RowPixels, ::testing::Values(
    RowCase{15, 20}, RowCase{14.25, 19}, RowCase{18.75, 25}, RowCase{7.5, 10}, RowCase{3.75, 5},
    RowCase{6.75, 9}, RowCase{12.75, 17}, RowCase{0, 0}));

class GeometryOfARange : public ::testing::Test {
protected:
    GeometryOfARange() : sheet(workbook.addSheet(QStringLiteral("Plan")))
    {
        sheet.setColumnInfo(1, {2.0, false, 0});
        sheet.setColumnInfo(2, {10.0, true, 0});
        sheet.setRowInfo(1, {30, true, false, std::nullopt});
        sheet.setRowInfo(2, {15, false, true, std::nullopt});
    }
    Workbook workbook;
    Sheet &sheet;
};

TEST_F(GeometryOfARange, PlacesColumnsAndRowsEdgeToEdge)
{
    const SheetGeometry geometry(workbook, sheet, {0, 0, 3, 3});
    EXPECT_EQ(geometry.maximumDigitWidth(), 7);
    EXPECT_EQ(geometry.columnWidth(0), 64); // default
    EXPECT_EQ(geometry.columnLeft(1), 64);
    EXPECT_EQ(geometry.columnWidth(1), 19);
    EXPECT_EQ(geometry.columnWidth(2), 0);  // hidden
    EXPECT_EQ(geometry.columnLeft(3), 83);
    EXPECT_EQ(geometry.width(), 147);
    EXPECT_EQ(geometry.rowHeight(0), 20);
    EXPECT_EQ(geometry.rowHeight(1), 40);
    EXPECT_EQ(geometry.rowHeight(2), 0); // hidden
    EXPECT_EQ(geometry.rowTop(3), 60);
    EXPECT_EQ(geometry.height(), 80);
}

TEST_F(GeometryOfARange, FindsTheRowUnderAPixel)
{
    const SheetGeometry geometry(workbook, sheet, {0, 0, 3, 3});
    EXPECT_EQ(geometry.rowAt(0), 0);
    EXPECT_EQ(geometry.rowAt(19), 0);
    EXPECT_EQ(geometry.rowAt(20), 1);
    EXPECT_EQ(geometry.rowAt(59), 1);
    EXPECT_EQ(geometry.rowAt(60), 3); // the hidden row 2 has no pixels
    EXPECT_EQ(geometry.rowAt(80), 4); // past the end
}

class GeometryOfABadRange : public GeometryOfARange, public ::testing::WithParamInterface<CellRange> {};

TEST_P(GeometryOfABadRange, IsAFailure)
{
    EXPECT_THROW(SheetGeometry(workbook, sheet, GetParam()), Failure);
}

INSTANTIATE_TEST_SUITE_P(Ranges, GeometryOfABadRange, ::testing::Values(
    CellRange{2, 0, 1, 3}, CellRange{0, 3, 1, 2}, CellRange{-1, 0, 1, 1}, CellRange{0, -1, 1, 1},
    CellRange{0, 0, kMaxRows, 1}, CellRange{0, 0, 1, kMaxColumns}));

} // namespace
} // namespace orv::sheet
