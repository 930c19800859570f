#include "TemplateUnderTest.h"
#include "sheet/render/NumberFormat.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>
#include <gtest/gtest.h>

namespace orv::chart::testing {
namespace {

using namespace sheet;

constexpr int H = 7;
constexpr int GU = 202;

TEST(TemplateSheets, AreProjectPlanThenHiddenInstructionsAndVersion)
{
    const Workbook &book = chartTemplate();
    ASSERT_EQ(book.sheetCount(), 3);
    EXPECT_EQ(book.sheet(0).name(), QStringLiteral("Project Plan"));
    EXPECT_EQ(book.sheet(0).visibility(), SheetVisibility::Visible);
    EXPECT_EQ(book.sheet(1).name(), QStringLiteral("Instructions"));
    EXPECT_EQ(book.sheet(1).visibility(), SheetVisibility::Hidden);
    EXPECT_FALSE(book.sheet(1).usedRange().has_value());
    EXPECT_EQ(book.sheet(2).name(), QStringLiteral("Version"));
    EXPECT_EQ(book.sheet(2).visibility(), SheetVisibility::Hidden);
    EXPECT_EQ(book.activeSheet(), 0);
    EXPECT_TRUE(book.isTemplate());
}

struct WidthCase {
    const char *column; // any cell of the column
    double width;
};
class TemplateColumnWidth : public ::testing::TestWithParam<WidthCase> {};

// Widths are kept in whole pixels of a 7-pixel digit (Calibri 11), so the
// width read back is the nearest that the screen can show.
TEST_P(TemplateColumnWidth, MatchesTheLayoutToThePixel)
{
    const ColumnInfo *info = projectPlan().columnInfo(at(GetParam().column).column);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(std::lround(info->width * 7), std::lround(GetParam().width * 7)) << info->width;
    EXPECT_FALSE(info->hidden);
}

INSTANTIATE_TEST_SUITE_P(Columns, TemplateColumnWidth,
                         ::testing::Values(WidthCase{"A1", 1.375}, WidthCase{"B1", 2.125}, WidthCase{"C1", 25.875},
                                           WidthCase{"D1", 5.75}, WidthCase{"E1", 5.75}, WidthCase{"G1", 0.75},
                                           WidthCase{"H1", 2.0}, WidthCase{"CZ1", 2.0}, WidthCase{"GH1", 2.0},
                                           WidthCase{"GU1", 2.0}));

TEST(TemplateColumns, PercentColumnAndColumnsAfterTheCalendarKeepTheDefaultWidth)
{
    EXPECT_EQ(projectPlan().columnInfo(at("F1").column), nullptr);
    EXPECT_EQ(projectPlan().columnInfo(at("GV1").column), nullptr);
}

class TemplateRowHeight : public ::testing::TestWithParam<std::pair<int, double>> {};

TEST_P(TemplateRowHeight, MatchesTheLayout)
{
    const auto [row, points] = GetParam();
    EXPECT_DOUBLE_EQ(projectPlan().rowHeight(row - 1), points) << "row " << row;
}

INSTANTIATE_TEST_SUITE_P(Rows, TemplateRowHeight,
                         ::testing::Values(std::pair{1, 7.5}, std::pair{2, 18.75}, std::pair{3, 15.0},
                                           std::pair{5, 15.0}, std::pair{7, 15.0}, std::pair{8, 3.75},
                                           std::pair{9, 14.25}, std::pair{10, 15.0}, std::pair{11, 14.25},
                                           std::pair{12, 6.75}, std::pair{13, 7.5}, std::pair{14, 15.0}));

class TemplateText : public ::testing::TestWithParam<std::pair<const char *, const char *>> {};

TEST_P(TemplateText, StandsInItsCell)
{
    const Cell *cell = projectPlan().cell(at(GetParam().first));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->value, Value(QString::fromUtf8(GetParam().second)));
    EXPECT_FALSE(cell->hasFormula());
}

INSTANTIATE_TEST_SUITE_P(Texts, TemplateText,
                         ::testing::Values(std::pair{"B2", "Special Events"}, std::pair{"D2", "Start"},
                                           std::pair{"E2", "End"}, std::pair{"H2", "Project Plan Template"},
                                           std::pair{"D9", "Start"}, std::pair{"E9", "End"},
                                           std::pair{"F9", "% Compl."}, std::pair{"A10", "Project Deliverable 1"}));

// Besides its texts and formulas the template holds only the hidden zeros
// of the plan rows' calendar, which give every printed page a value: some
// applications leave out of print the pages that hold none. A page holds
// some 45 calendar columns; no 28 in a row, and no last page, may miss one.
TEST(TemplateCells, HoldNoValueOutsideTheTextsFormulasAndHiddenZeros)
{
    constexpr int GH = 189;
    int texts = 0;
    int formulas = 0;
    std::map<int, std::vector<int>> zeroColumns; // by plan row
    projectPlan().forEachCell([&](CellAddress where, const Cell &cell) {
        const double *number = std::get_if<double>(&cell.value);
        if (cell.hasFormula()) {
            ++formulas;
        } else if (number && *number == 0 && where.row >= 9 && where.row <= 11 && where.column >= H) {
            zeroColumns[where.row].push_back(where.column);
            const QString code = chartTemplate().format(cell.formatIndex).numberFormat;
            EXPECT_TRUE(NumberFormat(code).format(cell.value).text.isEmpty()) << code.toStdString();
            return;
        } else if (!isEmpty(cell.value)) {
            ++texts;
        } else {
            return;
        }
        EXPECT_FALSE(where.row >= 10 && where.column <= 5 && !cell.hasFormula())
            << "the plan rows are left for the chart builder";
    });
    EXPECT_EQ(texts, 8);
    EXPECT_EQ(formulas, 2 * 196 + 2);
    ASSERT_EQ(zeroColumns.size(), 3u);
    for (const auto &[row, columns] : zeroColumns) {
        int gapStart = H - 1;
        for (int column : columns) {
            EXPECT_LE(column - gapStart, 28) << "row " << row + 1 << " before column " << column;
            gapStart = column;
        }
        EXPECT_NE(std::find(columns.begin(), columns.end(), GH), columns.end()) << "row " << row + 1;
    }
}

TEST(TemplateMerges, CoverTitleEventNamesCalendarAndDeliverable)
{
    std::vector<CellRange> expected = {area("H2:GU3"), area("A10:C10")};
    for (int row = 2; row <= 7; ++row)
        expected.push_back({row - 1, 1, row - 1, 2});
    for (int column = H; column <= GU; ++column) {
        expected.push_back({3, column, 4, column});
        expected.push_back({5, column, 6, column});
    }
    const auto &merged = projectPlan().mergedRanges();
    EXPECT_EQ(merged.size(), expected.size());
    for (const CellRange &range : expected)
        EXPECT_NE(std::find(merged.begin(), merged.end(), range), merged.end())
            << range.firstRow << "," << range.firstColumn << " to " << range.lastRow << "," << range.lastColumn;
}

class TemplateFormula : public ::testing::TestWithParam<std::pair<const char *, const char *>> {};

TEST_P(TemplateFormula, IsWrittenAsInTheLayout)
{
    EXPECT_EQ(formulaText(projectPlan(), GetParam().first), QString::fromLatin1(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(Formulas, TemplateFormula,
                         ::testing::Values(std::pair{"H4", "IF(MONTH(H6)<>MONTH(E6),H6,\"\")"},
                                           std::pair{"I4", "IF(MONTH(I6)<>MONTH(H6),I6,\"\")"},
                                           std::pair{"AA4", "IF(MONTH(AA6)<>MONTH(Z6),AA6,\"\")"},
                                           std::pair{"GU4", "IF(MONTH(GU6)<>MONTH(GT6),GU6,\"\")"},
                                           std::pair{"H6", "MAX(MIN(D3:E15),TODAY()-30)"},
                                           std::pair{"I6", "H6+1"}, std::pair{"BA6", "AZ6+1"},
                                           std::pair{"GU6", "GT6+1"}, std::pair{"D10", "MIN(D11:D12)"},
                                           std::pair{"E10", "MAX(E11:E12)"}));

TEST(TemplateCalendar, EveryDayColumnChainsToTheColumnBefore)
{
    for (int column = H + 1; column <= GU; ++column) {
        const QString here = columnName(column);
        const QString before = columnName(column - 1);
        const Cell *label = projectPlan().cell({3, column});
        const Cell *day = projectPlan().cell({5, column});
        ASSERT_TRUE(label && label->formula && day && day->formula) << here.toStdString();
        EXPECT_EQ(printFormula(*label->formula), "IF(MONTH(" + here + "6)<>MONTH(" + before + "6)," + here + "6,\"\")");
        EXPECT_EQ(printFormula(*day->formula), before + "6+1");
    }
}

// What a cell's format must show; unset fields are not checked.
struct Look {
    Look(const char *cell, const char *numberFormat = nullptr, double fontSize = 11, bool bold = false,
         std::optional<QRgb> fontColor = {}, std::optional<QRgb> fill = {}, int rotation = 0)
        : cell(cell), numberFormat(numberFormat), fontSize(fontSize), bold(bold), fontColor(fontColor), fill(fill),
          rotation(rotation)
    {
    }
    const char *cell;
    const char *numberFormat;
    double fontSize;
    bool bold;
    std::optional<QRgb> fontColor;
    std::optional<QRgb> fill;
    int rotation;
};
class TemplateLook : public ::testing::TestWithParam<Look> {};

TEST_P(TemplateLook, MatchesTheLayout)
{
    const Look &look = GetParam();
    const CellFormat &format = formatAt(projectPlan(), look.cell);
    if (look.numberFormat) {
        EXPECT_EQ(format.numberFormat, QString::fromLatin1(look.numberFormat));
    }
    EXPECT_EQ(format.font.name, QStringLiteral("Calibri"));
    EXPECT_DOUBLE_EQ(format.font.size, look.fontSize);
    EXPECT_EQ(format.font.bold, look.bold);
    EXPECT_EQ(format.font.color, look.fontColor ? rgb(*look.fontColor) : Color{});
    if (look.fill) {
        EXPECT_EQ(format.fill, (Fill{FillPattern::Solid, rgb(*look.fill)}));
    } else {
        EXPECT_EQ(format.fill.pattern, FillPattern::None);
    }
    EXPECT_EQ(format.alignment.rotation, look.rotation);
}

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kIndigo = 0x333399;
constexpr QRgb kLightOrange = 0xFFCC99;

INSTANTIATE_TEST_SUITE_P(
    Cells, TemplateLook,
    ::testing::Values(
        Look{"B2", "General", 11, false, kWhite, kIndigo}, Look{"D2", nullptr, 11, false, kWhite, kIndigo},
        Look{"E2", nullptr, 11, false, kWhite, kIndigo}, Look{"H2", nullptr, 14, false, kWhite, kIndigo},
        Look{"GU3", nullptr, 14, false, kWhite, kIndigo}, Look{"B3", nullptr, 11, true},
        Look{"B7", nullptr, 11, true}, Look{"D3", "m/d;@", 11, false, {}, kLightOrange},
        Look{"E7", "m/d;@", 11, false, {}, kLightOrange},
        Look{"H4", "mmm", 12, true, kWhite, 0x333300}, Look{"GU5", "mmm", 12, true, kWhite, 0x333300},
        Look{"H6", "m/d", 10, false, {}, {}, 89}, Look{"GU7", "m/d", 10, false, {}, {}, 89},
        Look{"D9", nullptr, 11, false, kWhite, kIndigo}, Look{"F9", nullptr, 11, false, kWhite, kIndigo},
        Look{"A10", nullptr, 11, true, kWhite, kIndigo}, Look{"D10", "m/d;@", 11, true, kWhite, kIndigo},
        Look{"E10", "m/d;@", 11, true, kWhite, kIndigo}, Look{"F10", nullptr, 11, true, kWhite, kIndigo},
        Look{"B11", "General"}, Look{"C11", "General"}, Look{"D11", "m/d;@", 11, false, {}, kLightOrange},
        Look{"E11", "m/d;@", 11, false, {}, kLightOrange}, Look{"F11", "0%", 11, false, {}, kLightOrange},
        Look{"A12", nullptr, 11, false, {}, kWhite}, Look{"F12", nullptr, 11, false, {}, kWhite},
        Look{"H10", nullptr, 1}, Look{"GU10", nullptr, 1}, Look{"H11", nullptr, 1}, Look{"CC12", nullptr, 1},
        Look{"GU12", nullptr, 1}, Look{"H13", nullptr, 1}, Look{"G11", "General"}, Look{"A1", "General"}));

// A date that does not fit its column shows as "###": the month names
// shrink to their narrow columns, the day dates run up their two rows.
TEST(TemplateCalendarLabels, FitTheirNarrowColumns)
{
    for (const char *cell : {"H4", "CZ4", "GU5", "H6", "GU6", "GU7"}) {
        const Alignment &alignment = formatAt(projectPlan(), cell).alignment;
        const bool dayDate = cell[std::strlen(cell) - 1] != '4' && cell[std::strlen(cell) - 1] != '5';
        EXPECT_EQ(alignment.horizontal, HorizontalAlignment::Center) << cell;
        EXPECT_EQ(alignment.vertical, VerticalAlignment::Center) << cell;
        EXPECT_EQ(alignment.shrinkToFit, !dayDate) << cell;
        EXPECT_EQ(alignment.rotation, dayDate ? 89 : 0) << cell;
    }
}

TEST(TemplateView, HidesGridlinesAndFreezesNamesAndHeaders)
{
    const SheetView &view = projectPlan().view();
    EXPECT_FALSE(view.showGridlines);
    EXPECT_EQ(view.frozenColumns, 7);
    EXPECT_EQ(view.frozenRows, 8);
    EXPECT_TRUE(view.selected);
}

TEST(TemplatePrinting, IsLandscapeLetterAtTwoThirdsWithPageNumbers)
{
    const PageSetup &page = projectPlan().pageSetup();
    EXPECT_EQ(page.orientation, Orientation::Landscape);
    EXPECT_EQ(page.paperSize, 1);
    EXPECT_EQ(page.scale, 66);
    EXPECT_EQ(page.footer, QStringLiteral("&CPage &P of &N"));

    const PrintAreas &print = projectPlan().printAreas();
    ASSERT_EQ(print.printArea.size(), 1u);
    EXPECT_EQ(print.printArea.front(), area("H10:GH17"));
    ASSERT_TRUE(print.titleColumns && print.titleRows);
    EXPECT_EQ(print.titleColumns->firstColumn, 0);
    EXPECT_EQ(print.titleColumns->lastColumn, 6);
    EXPECT_EQ(print.titleRows->firstRow, 1);
    EXPECT_EQ(print.titleRows->lastRow, 8);
}

TEST(TemplateVersionSheet, LogsBothVersionsWithTheirFeatures)
{
    const Sheet &version = chartTemplate().sheet(2);
    const auto text = [&](const char *a1) {
        const Cell *cell = version.cell(at(a1));
        return cell && std::holds_alternative<QString>(cell->value) ? std::get<QString>(cell->value) : QString();
    };
    const auto number = [&](const char *a1) {
        const Cell *cell = version.cell(at(a1));
        return cell && std::holds_alternative<double>(cell->value) ? std::get<double>(cell->value) : -1.0;
    };
    EXPECT_EQ(text("B2"), QStringLiteral("Version"));
    EXPECT_DOUBLE_EQ(number("B3"), 1.0);
    EXPECT_DOUBLE_EQ(number("B4"), 1.1);
    EXPECT_TRUE(text("C3").startsWith(QStringLiteral("Initial Version:")));
    for (const char *feature : {"Six month view", "conditional formatting", "Special events (5)",
                                "sub-task levels", "Current day"})
        EXPECT_TRUE(text("C3").contains(QString::fromLatin1(feature))) << feature;
    EXPECT_TRUE(text("C4").startsWith(QStringLiteral("Added % complete status for tasks")));
    EXPECT_EQ(text("C4").count(u'\n'), 2);
}

} // namespace
} // namespace orv::chart::testing
