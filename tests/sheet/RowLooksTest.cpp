#include "NumberedRules.h"
#include "sheet/formula/ConditionalStyling.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/CellLooks.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

using test::numberedRule;
using test::solidFill;

// Looks worked out a row at a time must be those worked out cell by cell.
// The sheet has cells with and without formats of their own, a row format,
// column formats, and conditional formats whose ranges overlap, repeat a
// row, stop the search or leave it open.
class RowLooks : public ::testing::TestWithParam<int> {
protected:
    RowLooks() : sheet(workbook.addSheet(QStringLiteral("Plan")))
    {
        const int red = workbook.addFormat(filled(0xFF0000));
        const int blue = workbook.addFormat(filled(0x0000FF));
        const int green = workbook.addFormat(filled(0x00FF00));
        sheet.setColumnInfo(2, {8.43, false, blue});
        sheet.setColumnInfo(5, {8.43, false, green});
        sheet.setRowInfo(3, {15, false, false, red});
        for (int column = 0; column < 8; column += 2)
            sheet.cellAt({1, column}).formatIndex = green;
        sheet.cellAt({3, 5}).value = QStringLiteral("own");
        sheet.cellAt({4, 2}).formatIndex = red;

        sheet.conditionalFormats().push_back(
            {{{0, 1, 2, 3}, {2, 2, 5, 6}},
             {numberedRule(1, solidFill(0x111111), false), numberedRule(2, boldOn(), true)}});
        sheet.conditionalFormats().push_back({{{1, 0, 4, 7}}, {numberedRule(3, solidFill(0x222222), false)}});
        sheet.conditionalFormats().push_back(
            {{{3, 3, 3, 3}, {3, 0, 3, 4}}, {numberedRule(4, solidFill(0x333333), true)}});
    }

    static CellFormat filled(QRgb rgb)
    {
        CellFormat format;
        format.fill = Fill{FillPattern::Solid, Color::fromRgb(rgb)};
        return format;
    }
    static ConditionalStyle boldOn()
    {
        ConditionalStyle style;
        style.bold = true;
        return style;
    }

    // Rule n holds where (row + column + n) is not divisible by 3.
    static bool holds(const Sheet &, const ConditionalFormat &, const ConditionalRule &rule, CellAddress at)
    {
        return (at.row + at.column + int(rule.formula->number)) % 3 != 0;
    }

    Workbook workbook;
    Sheet &sheet;
};

TEST_P(RowLooks, AreTheCellByCellLooks)
{
    const int row = GetParam();
    const RuleTest rules = holds;
    const CellLooks looks(workbook, sheet, 0, 7, rules);
    std::vector<CellLook> resolved;
    looks.resolveRow(row, resolved);
    ASSERT_EQ(resolved.size(), 8u);
    const RowConditionalFormats conditional(sheet, row);
    for (int column = 0; column <= 7; ++column) {
        const CellLook one = looks.resolveCell({row, column});
        const CellLook &ofRow = resolved[size_t(column)];
        EXPECT_EQ(ofRow.cell, one.cell) << column;
        EXPECT_EQ(ofRow.format, one.format) << column;
        EXPECT_EQ(ofRow.fill, one.fill) << column;
        EXPECT_EQ(ofRow.borders, one.borders) << column;
        EXPECT_EQ(ofRow.bold, one.bold) << column;
        EXPECT_EQ(ofRow.fontColor, one.fontColor) << column;
        EXPECT_EQ(ofRow.conditionalColor, one.conditionalColor) << column;
        EXPECT_EQ(conditional.styleAt(column, rules), conditionalStyleAt(sheet, {row, column}, rules)) << column;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RowLooks, ::testing::Range(0, 7));

} // namespace
} // namespace orv::sheet
