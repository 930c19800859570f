#include "RenderTestSheet.h"

#include "sheet/render/ScreenFonts.h"

#include <QRawFont>
#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

using test::aligned;
using test::RenderTestSheet;

const CellRange kRow{0, 0, 0, 4};

// The pixels of a cell's rectangle, to compare two drawings of one cell.
QImage cellPixels(const QImage &image, QRect rect) { return image.copy(rect); }

class RenderNumbers : public RenderTestSheet, public ::testing::Test {
protected:
    RenderNumbers() { sheet.setColumnInfo(1, {5.0, false, 0}); } // 40 px
    // What column B shows for `value`, next to what it shows for a text that
    // is right-aligned like a number.
    void expectShownAs(Value value, const QString &format, const QString &shown)
    {
        CellFormat numberFormat;
        numberFormat.numberFormat = format;
        put({0, 1}, value, numberFormat);
        put({0, 4}, QStringLiteral(""));
        const QImage number = render(kRow);
        put({0, 1}, shown, aligned(HorizontalAlignment::Right));
        const QImage text = render(kRow);
        const QRect cell = cellRect(kRow, {0, 1});
        EXPECT_EQ(cellPixels(number, cell), cellPixels(text, cell)) << shown.toStdString();
        EXPECT_GT(ink(number, cell), 0);
        // A number never spills into its neighbours.
        EXPECT_EQ(ink(number, cellRect(kRow, {0, 0})), 0);
        EXPECT_EQ(ink(number, cellRect(kRow, {0, 2})), 0);
    }
};

TEST_F(RenderNumbers, ThatFitAreShownRightAligned) { expectShownAs(1234.0, QStringLiteral("0"), QStringLiteral("1234")); }

TEST_F(RenderNumbers, ThatAreTooWideShowHashesFillingTheCell)
{
    // 36 px of room, "#" is 7.5 px wide in Carlito 11: four of them.
    expectShownAs(123456789.0, QStringLiteral("0"), QStringLiteral("####"));
}

TEST_F(RenderNumbers, DatesTooWideShowHashesToo)
{
    expectShownAs(42593.0, QStringLiteral("mmmm d, yyyy"), QStringLiteral("####"));
}

TEST_F(RenderNumbers, DatesBeforeTheCalendarShowHashes)
{
    expectShownAs(-3.0, QStringLiteral("m/d"), QStringLiteral("####"));
}

TEST_F(RenderNumbers, InGeneralFormatGiveUpDecimalsBeforeHashes)
{
    expectShownAs(3.14159265, QStringLiteral("General"), QStringLiteral("3.142"));
}

TEST_F(RenderNumbers, ThatAreNegativeInARedSectionAreRed)
{
    CellFormat format;
    format.numberFormat = QStringLiteral("0;[Red]0");
    put({0, 1}, -7.0, format);
    const QImage image = render(kRow);
    const QRect cell = cellRect(kRow, {0, 1});
    bool red = false;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            red = red || (image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 120);
    EXPECT_TRUE(red);
}

struct OverflowCase {
    const char *name;
    HorizontalAlignment alignment;
    int column;        // where the long text stands
    bool leftSpills;   // ink in the column to its left
    bool rightSpills;  // ink in the column to its right
};

void PrintTo(const OverflowCase &c, std::ostream *out) { *out << c.name; }

class RenderOverflow : public RenderTestSheet, public ::testing::TestWithParam<OverflowCase> {};

TEST_P(RenderOverflow, SpillsIntoEmptyNeighboursOnly)
{
    const OverflowCase &c = GetParam();
    put({0, c.column}, QStringLiteral("A rather long label for one cell"), aligned(c.alignment));
    put({0, 4}, QStringLiteral(""));
    QImage image = render(kRow);
    EXPECT_EQ(ink(image, cellRect(kRow, {0, c.column - 1})) > 0, c.leftSpills);
    EXPECT_EQ(ink(image, cellRect(kRow, {0, c.column + 1})) > 0, c.rightSpills);

    // A neighbour holding anything, even an empty text, stops the spill.
    put({0, c.column - 1}, QStringLiteral(""));
    put({0, c.column + 1}, QStringLiteral(""));
    image = render(kRow);
    EXPECT_EQ(ink(image, cellRect(kRow, {0, c.column - 1})), 0);
    EXPECT_EQ(ink(image, cellRect(kRow, {0, c.column + 1})), 0);
    EXPECT_GT(ink(image, cellRect(kRow, {0, c.column})), 0);
}

INSTANTIATE_TEST_SUITE_P(Alignments, RenderOverflow, ::testing::Values(
    OverflowCase{"General", HorizontalAlignment::General, 1, false, true},
    OverflowCase{"Left", HorizontalAlignment::Left, 1, false, true},
    OverflowCase{"Right", HorizontalAlignment::Right, 3, true, false},
    OverflowCase{"Center", HorizontalAlignment::Center, 2, true, true}));

TEST_F(RenderNumbers, SpilledTextHidesTheGridlinesItCrosses)
{
    sheet.view().showGridlines = true;
    put({0, 0}, QStringLiteral("A long label spilling over"));
    put({0, 4}, QStringLiteral(""));
    const QImage image = render(kRow);
    const QRect first = cellRect(kRow, {0, 0});
    EXPECT_EQ(image.pixelColor(first.right(), first.top() + 1), QColor(Qt::white));
    const QRect last = cellRect(kRow, {0, 3});
    EXPECT_NE(image.pixelColor(last.right(), last.top() + 1), QColor(Qt::white));
}

class RenderTextShapes : public RenderTestSheet, public ::testing::Test {
protected:
    RenderTextShapes()
    {
        sheet.setRowInfo(0, {60, true, false, std::nullopt}); // 80 px high
        put({0, 4}, QStringLiteral(""));
    }
    QRect drawn(const CellFormat &format, const QString &text = QStringLiteral("Turned text"))
    {
        put({0, 1}, text, format);
        const QImage image = render(kRow);
        EXPECT_EQ(ink(image, cellRect(kRow, {0, 0})), 0);
        EXPECT_EQ(ink(image, cellRect(kRow, {0, 2})), 0);
        return inkBounds(image, cellRect(kRow, {0, 1}));
    }
};

TEST_F(RenderTextShapes, RotatedTextRunsUpTheCell)
{
    CellFormat format;
    format.alignment.rotation = 90;
    const QRect bounds = drawn(format);
    EXPECT_GT(bounds.height(), 2 * bounds.width());
    format.alignment.rotation = 180; // 90 degrees clockwise
    const QRect down = drawn(format);
    EXPECT_GT(down.height(), 2 * down.width());
}

// A date wider than its narrow column but turned nearly upright has the
// cell's height to run along: it shows its digits, not "###".
TEST_F(RenderTextShapes, NearlyUprightNumberHasTheCellHeightForItsDigits)
{
    sheet.setColumnInfo(1, {2.0, false, 0});
    CellFormat format;
    format.numberFormat = QStringLiteral("m/d");
    format.alignment.rotation = 89;
    put({0, 1}, 46387.0, format); // 12/31
    const QImage image = render(kRow);
    const QRect bounds = inkBounds(image, cellRect(kRow, {0, 1}));
    EXPECT_GT(bounds.height(), 24) << "all five characters";
    EXPECT_GT(bounds.height(), 2 * bounds.width());
}

TEST_F(RenderTextShapes, StackedLettersRunDownTheCell)
{
    CellFormat format;
    format.alignment.rotation = 255;
    format.alignment.vertical = VerticalAlignment::Top;
    const QRect bounds = drawn(format, QStringLiteral("ABCD"));
    EXPECT_GT(bounds.height(), 3 * bounds.width());
    EXPECT_LT(bounds.top(), 10);
}

TEST_F(RenderTextShapes, WrappedTextStaysInItsCellOnSeveralLines)
{
    CellFormat format;
    format.alignment.wrap = true;
    const QRect bounds = drawn(format, QStringLiteral("several words wrapped inside one cell"));
    EXPECT_GT(bounds.height(), 30); // more than two lines of 11 pt text
}

TEST_F(RenderTextShapes, ShrinkToFitKeepsTextInsideItsCell)
{
    CellFormat format;
    format.alignment.shrinkToFit = true;
    const QRect bounds = drawn(format, QStringLiteral("a label far too long for the cell"));
    EXPECT_GT(bounds.width(), 40);
    EXPECT_LT(bounds.height(), 14);
}

TEST_F(RenderTextShapes, ShrunkTextKeepsItsPlaceInTheCell)
{
    CellFormat format;
    format.alignment.shrinkToFit = true;
    const QString label = QStringLiteral("a label far too long for the cell");
    format.alignment.vertical = VerticalAlignment::Top;
    const QRect top = drawn(format, label);
    format.alignment.vertical = VerticalAlignment::Bottom;
    const QRect bottom = drawn(format, label);
    format.alignment.horizontal = HorizontalAlignment::Right;
    const QRect right = drawn(format, QStringLiteral("short"));
    EXPECT_LT(top.bottom(), 15);
    EXPECT_GT(bottom.top(), 65);
    EXPECT_NEAR(bottom.width(), top.width(), 1);
    EXPECT_GT(right.left(), cellRect(kRow, {0, 1}).left() + 20) << "a text that fits is not moved";
}

TEST_F(RenderTextShapes, TurnedTextShrinksAlongTheCellHeight)
{
    CellFormat format;
    format.alignment.rotation = 90;
    const QString label = QStringLiteral("a label far too long for an eighty pixel cell");
    const QRect turned = drawn(format, label);
    format.alignment.shrinkToFit = true;
    const QRect shrunk = drawn(format, label);
    EXPECT_GT(shrunk.height(), 60) << "the whole label stands up the cell";
    EXPECT_LE(shrunk.height(), 80);
    EXPECT_GT(shrunk.width(), 2);
    EXPECT_LT(shrunk.width(), turned.width() * 3 / 4) << "the letters get smaller, not only clipped";
}

TEST_F(RenderTextShapes, VerticalAlignmentPlacesTheText)
{
    CellFormat format;
    format.alignment.vertical = VerticalAlignment::Top;
    const QRect top = drawn(format, QStringLiteral("x"));
    format.alignment.vertical = VerticalAlignment::Center;
    const QRect middle = drawn(format, QStringLiteral("x"));
    format.alignment.vertical = VerticalAlignment::Bottom;
    const QRect bottom = drawn(format, QStringLiteral("x"));
    EXPECT_LT(top.bottom(), 20);
    EXPECT_NEAR(middle.center().y(), 40, 6);
    EXPECT_GT(bottom.top(), 60);
}

TEST_F(RenderTextShapes, FontSizeWeightAndColourShow)
{
    CellFormat format;
    const int regular = drawn(format, QStringLiteral("Ab")).height();
    format.font.size = 22;
    EXPECT_GT(drawn(format, QStringLiteral("Ab")).height(), regular * 3 / 2);

    format = {};
    put({0, 1}, QStringLiteral("Bold"), format);
    const int thin = ink(render(kRow), cellRect(kRow, {0, 1}));
    format.font.bold = true;
    put({0, 1}, QStringLiteral("Bold"), format);
    EXPECT_GT(ink(render(kRow), cellRect(kRow, {0, 1})), thin * 6 / 5);

    format.font.color = Color::fromRgb(0x00FF00);
    put({0, 1}, QStringLiteral("Green"), format);
    const QImage image = render(kRow);
    const QRect cell = cellRect(kRow, {0, 1});
    int green = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            green += image.pixelColor(x, y) == QColor(0x00FF00) ? 1 : 0;
    EXPECT_GT(green, 5);
}

TEST_F(RenderTextShapes, GlyphsMissingFromTheFontComeFromAnotherFont)
{
    const QString ideograph = QStringLiteral("\u4E2D\u6587");
    ASSERT_FALSE(QRawFont::fromFont(screenFont(Font{})).supportsCharacter(ideograph[0]));
    const QRect drawnBounds = drawn({}, ideograph);
    put({0, 1}, QStringLiteral("\uE000\uE001"), {}); // private use: no font has these
    const QImage boxes = render(kRow);
    put({0, 1}, ideograph, {});
    const QImage glyphs = render(kRow);
    const QRect cell = cellRect(kRow, {0, 1});
    EXPECT_GT(drawnBounds.height(), 8);
    EXPECT_NE(glyphs.copy(cell), boxes.copy(cell));
    EXPECT_GT(ink(glyphs, cell), ink(boxes, cell));
}

} // namespace
} // namespace orv::sheet
