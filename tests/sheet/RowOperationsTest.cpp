#include "Printers.h"
#include "files/Failure.h"
#include "sheet/RowOperations.h"
#include "sheet/formula/ConditionalStyling.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/model/Workbook.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

// "D10" -> its 0-based address.
CellAddress cellAt(const char *a1) { return {parseFormula(QString::fromUtf8(a1))->ref.row, parseFormula(QString::fromUtf8(a1))->ref.column}; }

CellRange rangeAt(const char *a1)
{
    const FormulaPtr area = parseFormula(QString::fromUtf8(a1));
    return {area->ref.row, area->ref.column, area->ref2.row, area->ref2.column};
}

ConditionalStyle fillOf(QRgb rgb)
{
    ConditionalStyle style;
    style.fill = Fill{FillPattern::Solid, Color::fromRgb(rgb)};
    return style;
}

// A small sheet shaped like the chart template: a two-day calendar in
// H:I, special events in rows 3-7, one deliverable block in rows 10-13.
class RowCopyInsert : public ::testing::Test {
protected:
    RowCopyInsert()
    {
        setFormula("H6", "=MAX(MIN(D3:E15),TODAY()-30)");
        setFormula("I6", "=H6+1");
        setFormula("H4", "=IF(MONTH(H6)<>MONTH(E6),H6,\"\")");
        setFormula("I4", "=IF(MONTH(I6)<>MONTH(H6),I6,\"\")");
        plan.cellAt(cellAt("A10")).value = QStringLiteral("Deliverable");
        setFormula("D10", "=MIN(D11:D12)");
        setFormula("E10", "=MAX(E11:E12)");
        plan.cellAt(cellAt("B11")).value = QStringLiteral("Task");
        plan.cellAt(cellAt("D11")).value = 45366.0; // 15 March 2024
        plan.cellAt(cellAt("E11")).value = 45367.0;
        plan.cellAt(cellAt("F11")).value = 0.5;
        CellFormat tiny;
        tiny.font.size = 1;
        plan.cellAt(cellAt("H11")).formatIndex = workbook.addFormat(tiny);
        plan.setRowInfo(9, {15, true, false, {}});
        plan.setRowInfo(10, {14.25, true, false, {}});
        plan.setRowInfo(11, {6.75, true, false, {}});
        plan.setRowInfo(12, {7.5, true, false, {}});
        for (const char *merge : {"H4:H5", "I4:I5", "H6:H7", "I6:I7", "A10:C10"})
            plan.mergedRanges().push_back(rangeAt(merge));
        addRule("H10:I10", "=AND(H$6>=$D10,H$6<=$E10)", 0x333399);
        addRule("H11:I12", "=AND($B11<>\"\",H$6>=$D11,H$6<=$E11)", 0x33CCCC);
        addRule("H6:I7", "=WEEKDAY(H$6)=7", 0xFFFF99);
        plan.printAreas().printArea = {rangeAt("H10:I17")};
        plan.printAreas().titleRows = rangeAt("A2:IV9");
        recalculate(workbook, clock);
    }

    void setFormula(const char *at, const char *text) { plan.cellAt(cellAt(at)).formula = parseFormula(QString::fromUtf8(text)); }
    QString formulaAt(const char *at) const
    {
        const Cell *cell = plan.cell(cellAt(at));
        return cell && cell->formula ? printFormula(*cell->formula) : QString();
    }
    void addRule(const char *range, const char *formula, QRgb fill)
    {
        plan.conditionalFormats().push_back({{rangeAt(range)}, {{parseFormula(QString::fromUtf8(formula)), fillOf(fill), false}}});
    }
    std::vector<CellRange> conditionalRanges(int format) const { return plan.conditionalFormats().at(format).ranges; }
    bool hasMerge(const char *range) const
    {
        const auto &merges = plan.mergedRanges();
        return std::find(merges.begin(), merges.end(), rangeAt(range)) != merges.end();
    }

    Workbook workbook;
    Sheet &plan = workbook.addSheet(QStringLiteral("Plan"));
    test::FixedClock clock{QDateTime(QDate(2024, 3, 20), QTime(9, 0))};
};

TEST_F(RowCopyInsert, BlockCopiedBelowGetsItsOwnWorkingFormulasFormatsAndLooks)
{
    insertCopiedRows(workbook, plan, 13, copyRows(plan, 9, 12));

    EXPECT_EQ(formulaAt("D14"), QStringLiteral("MIN(D15:D16)"));
    EXPECT_EQ(formulaAt("E14"), QStringLiteral("MAX(E15:E16)"));
    EXPECT_EQ(formulaAt("D10"), QStringLiteral("MIN(D11:D12)"));
    EXPECT_EQ(formulaAt("H6"), QStringLiteral("MAX(MIN(D3:E19),TODAY()-30)"));
    EXPECT_EQ(plan.cell(cellAt("A14"))->value, Value(QStringLiteral("Deliverable")));
    EXPECT_EQ(plan.cell(cellAt("D15"))->value, Value(45366.0));
    EXPECT_EQ(plan.cell(cellAt("H15"))->formatIndex, plan.cell(cellAt("H11"))->formatIndex);
    EXPECT_EQ(plan.rowHeight(13), 15);
    EXPECT_EQ(plan.rowHeight(14), 14.25);
    EXPECT_EQ(plan.rowHeight(15), 6.75);
    EXPECT_EQ(plan.rowHeight(16), 7.5);
    EXPECT_TRUE(hasMerge("A14:C14"));
    EXPECT_TRUE(hasMerge("A10:C10"));
    EXPECT_EQ(conditionalRanges(0), (std::vector{rangeAt("H10:I10"), rangeAt("H14:I14")}));
    EXPECT_EQ(conditionalRanges(1), (std::vector{rangeAt("H11:I12"), rangeAt("H15:I16")}));
    EXPECT_EQ(plan.printAreas().printArea, std::vector{rangeAt("H10:I21")});

    recalculate(workbook, clock);
    EXPECT_EQ(plan.cell(cellAt("D14"))->value, Value(45366.0));
    const Evaluator evaluator(workbook, clock);
    EXPECT_EQ(conditionalStyleAt(evaluator, plan, cellAt("H15")), fillOf(0x33CCCC));
    EXPECT_EQ(conditionalStyleAt(evaluator, plan, cellAt("H14")), fillOf(0x333399));
}

TEST_F(RowCopyInsert, TaskRowCopiedBelowWidensTheDeliverableRanges)
{
    insertCopiedRows(workbook, plan, 11, copyRows(plan, 10, 10));

    EXPECT_EQ(formulaAt("D10"), QStringLiteral("MIN(D11:D13)"));
    EXPECT_EQ(formulaAt("E10"), QStringLiteral("MAX(E11:E13)"));
    EXPECT_EQ(formulaAt("H6"), QStringLiteral("MAX(MIN(D3:E16),TODAY()-30)"));
    EXPECT_EQ(plan.cell(cellAt("B12"))->value, Value(QStringLiteral("Task")));
    EXPECT_EQ(plan.rowHeight(11), 14.25);
    EXPECT_EQ(plan.rowHeight(12), 6.75);
    EXPECT_EQ(conditionalRanges(1), std::vector{rangeAt("H11:I13")}) << "the grown range already covers the copy";
    EXPECT_EQ(conditionalRanges(0), std::vector{rangeAt("H10:I10")});
    EXPECT_TRUE(hasMerge("A10:C10"));
    EXPECT_EQ(plan.mergedRanges().size(), 5u);
}

// The chart builder's sequence for two deliverables, the first with two
// tasks and the second with one: the second block is copied from rows
// 10-13 into row 14, then the first block's task row is copied below itself.
TEST_F(RowCopyInsert, BuilderSequenceKeepsEveryBlockComputing)
{
    insertCopiedRows(workbook, plan, 13, copyRows(plan, 9, 12));
    insertCopiedRows(workbook, plan, 11, copyRows(plan, 10, 10));
    plan.cellAt(cellAt("D12")).value = 45360.0;
    plan.cellAt(cellAt("E12")).value = 45375.0;
    plan.cellAt(cellAt("D16")).value = 45380.0;
    plan.cellAt(cellAt("E16")).value = 45390.0;
    recalculate(workbook, clock);

    EXPECT_EQ(formulaAt("D10"), QStringLiteral("MIN(D11:D13)"));
    EXPECT_EQ(formulaAt("D15"), QStringLiteral("MIN(D16:D17)"));
    EXPECT_EQ(formulaAt("E15"), QStringLiteral("MAX(E16:E17)"));
    EXPECT_EQ(formulaAt("H6"), QStringLiteral("MAX(MIN(D3:E20),TODAY()-30)"));
    EXPECT_EQ(plan.cell(cellAt("D10"))->value, Value(45360.0));
    EXPECT_EQ(plan.cell(cellAt("E10"))->value, Value(45375.0));
    EXPECT_EQ(plan.cell(cellAt("D15"))->value, Value(45380.0));
    EXPECT_EQ(plan.cell(cellAt("H6"))->value, Value(45360.0));
    EXPECT_EQ(plan.cell(cellAt("A15"))->value, Value(QStringLiteral("Deliverable")));
    EXPECT_EQ(conditionalRanges(1), (std::vector{rangeAt("H11:I13"), rangeAt("H16:I17")}));
    EXPECT_EQ(conditionalRanges(0), (std::vector{rangeAt("H10:I10"), rangeAt("H15:I15")}));
    EXPECT_EQ(plan.rowHeight(12), 6.75) << "the first block's spacer moved down to row 13";
    EXPECT_EQ(plan.rowHeight(13), 7.5);
}

TEST_F(RowCopyInsert, PastedFormulasMoveTheirRelativeReferencesOnly)
{
    setFormula("G11", "=$D$11+D11+D$11");
    setFormula("G20", "=D20+$A$30");
    insertCopiedRows(workbook, plan, 11, copyRows(plan, 10, 10));
    EXPECT_EQ(formulaAt("G12"), QStringLiteral("$D$11+D12+D$11"));

    // Copied from below the insertion: the source moves first, then the copy
    // is made from where it stands.
    insertCopiedRows(workbook, plan, 11, copyRows(plan, 20, 20));
    EXPECT_EQ(formulaAt("G22"), QStringLiteral("D22+$A$32"));
    EXPECT_EQ(formulaAt("G12"), QStringLiteral("D12+$A$32"));
}

TEST_F(RowCopyInsert, OtherSheetsFollowAndGetTheirOwnConditionalFormats)
{
    Sheet &summary = workbook.addSheet(QStringLiteral("Summary"));
    summary.cellAt({0, 0}).formula = parseFormula(QStringLiteral("=Plan!D11+A5"));
    insertRows(workbook, plan, 4, 1);
    EXPECT_EQ(printFormula(*summary.cell({0, 0})->formula), QStringLiteral("Plan!D12+A5"));

    insertCopiedRows(workbook, summary, 4, copyRows(plan, 11, 11));
    ASSERT_EQ(summary.conditionalFormats().size(), 1u);
    const ConditionalFormat &copied = summary.conditionalFormats().front();
    EXPECT_EQ(copied.ranges, std::vector{rangeAt("H5:I5")});
    EXPECT_EQ(printFormula(*copied.rules.front().formula), QStringLiteral("AND($B5<>\"\",H$7>=$D5,H$7<=$E5)"));
    EXPECT_EQ(summary.cell(cellAt("B5"))->value, Value(QStringLiteral("Task")));
}

TEST_F(RowCopyInsert, PrintTitlesAndMergesAboveTheBlockFollowTheirRows)
{
    insertRows(workbook, plan, 4, 2);
    EXPECT_EQ(plan.printAreas().titleRows, rangeAt("A2:IV11"));
    EXPECT_EQ(plan.printAreas().printArea, std::vector{rangeAt("H12:I19")});
    EXPECT_TRUE(hasMerge("H4:H7")) << "a merge spanning the insertion grows";
    EXPECT_TRUE(hasMerge("H8:H9"));
    EXPECT_TRUE(hasMerge("A12:C12"));
    EXPECT_EQ(conditionalRanges(2), std::vector{rangeAt("H8:I9")});
}

// Wherever rows go in, every cell that moved looks and computes as before.
class InsertionAnywhere : public RowCopyInsert, public ::testing::WithParamInterface<int> {};

TEST_P(InsertionAnywhere, KeepsMovedCellsLookingAndComputingTheSame)
{
    const int at = GetParam() - 1;
    const int count = 2;
    const Evaluator evaluator(workbook, clock);
    std::map<CellAddress, std::pair<ConditionalStyle, Value>> before;
    for (int row = 3; row <= 13; ++row)
        for (int column = 3; column <= 8; ++column) {
            const Cell *cell = plan.cell({row, column});
            before[{row, column}] = {conditionalStyleAt(evaluator, plan, {row, column}), cell ? cell->value : Value()};
        }

    insertRows(workbook, plan, at, count);
    recalculate(workbook, clock);

    for (const auto &[address, expected] : before) {
        const CellAddress moved{address.row >= at ? address.row + count : address.row, address.column};
        const Cell *cell = plan.cell(moved);
        EXPECT_EQ(conditionalStyleAt(evaluator, plan, moved), expected.first) << address.row << "," << address.column;
        EXPECT_EQ(cell ? cell->value : Value(), expected.second) << address.row << "," << address.column;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, InsertionAnywhere, ::testing::Values(1, 4, 5, 7, 10, 11, 12, 13, 14, 30));

// Rows above an insertion remember how far their formulas reach; a
// formula changed afterwards to refer further down still follows.
TEST_F(RowCopyInsert, AFormulaAboveThatComesToReferBelowFollowsTheNextInsertion)
{
    insertRows(workbook, plan, 20, 1);
    EXPECT_EQ(formulaAt("H6"), QStringLiteral("MAX(MIN(D3:E15),TODAY()-30)"));
    setFormula("H6", "=MAX(D30)");
    insertRows(workbook, plan, 25, 2);
    EXPECT_EQ(formulaAt("H6"), QStringLiteral("MAX(D32)"));
    EXPECT_EQ(formulaAt("D10"), QStringLiteral("MIN(D11:D12)"));
}

TEST_F(RowCopyInsert, RefusesRowsOffTheSheetBeforeChangingAnything)
{
    EXPECT_THROW(copyRows(plan, -1, 3), Failure);
    EXPECT_THROW(copyRows(plan, 5, 65536), Failure);
    EXPECT_THROW(copyRows(plan, 6, 5), Failure);
    EXPECT_THROW(insertRows(workbook, plan, 65536, 1), Failure);
    EXPECT_THROW(insertRows(workbook, plan, 65535, 2), Failure);
    EXPECT_THROW(insertRows(workbook, plan, 3, 0), Failure);
    EXPECT_THROW(insertCopiedRows(workbook, plan, 3, CopiedRows{}), Failure);

    plan.cellAt({65535, 0}).value = QStringLiteral("last");
    try {
        insertCopiedRows(workbook, plan, 10, copyRows(plan, 10, 10));
        FAIL() << "content pushed off the sheet";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QStringLiteral("off the end of the sheet")));
    }
    EXPECT_EQ(plan.cell({65535, 0})->value, Value(QStringLiteral("last")));
    EXPECT_EQ(formulaAt("D10"), QStringLiteral("MIN(D11:D12)"));
    EXPECT_EQ(plan.cell(cellAt("B12")), nullptr);
}

TEST_F(RowCopyInsert, RefusesPastedMergesThatWouldOverlapAStretchedMerge)
{
    plan.mergedRanges().push_back(rangeAt("A20:C30"));
    const CopiedRows block = copyRows(plan, 9, 12);
    EXPECT_THROW(insertCopiedRows(workbook, plan, 24, block), Failure);
    EXPECT_EQ(formulaAt("H6"), QStringLiteral("MAX(MIN(D3:E15),TODAY()-30)"));
    EXPECT_NO_THROW(insertCopiedRows(workbook, plan, 24, copyRows(plan, 10, 10)));
}

TEST_F(RowCopyInsert, PastesIntoTheRightFormatWhenAnEarlierOneLeavesTheSheet)
{
    plan.conditionalFormats().insert(plan.conditionalFormats().begin(),
                                     ConditionalFormat{{rangeAt("A65536:B65536")}, {}});
    insertCopiedRows(workbook, plan, 13, copyRows(plan, 9, 9));
    ASSERT_EQ(plan.conditionalFormats().size(), 3u) << "the format pushed off the sheet is gone";
    EXPECT_EQ(conditionalRanges(0), (std::vector{rangeAt("H10:I10"), rangeAt("H14:I14")}));
    EXPECT_EQ(conditionalRanges(1), std::vector{rangeAt("H11:I12")});
}

TEST(FormulaCells, AreFoundAfterAnyWayOfWritingThem)
{
    Sheet sheet(QStringLiteral("S"));
    sheet.cellAt({5, 1}).formula = parseFormula(QStringLiteral("=1"));
    Cell cell;
    cell.formula = parseFormula(QStringLiteral("=2"));
    sheet.setCell({9, 0}, cell);
    sheet.cellAt({7, 0}).value = 3.0;
    sheet.forEachCell([](CellAddress at, Cell &visited) {
        if (at.row == 7)
            visited.formula = parseFormula(QStringLiteral("=3"));
    });
    std::vector<CellAddress> found;
    sheet.forEachFormulaCell([&](CellAddress at, const Cell &) { found.push_back(at); });
    EXPECT_EQ(found, (std::vector<CellAddress>{{5, 1}, {7, 0}, {9, 0}}));
    sheet.shiftRowsDown(6, 2);
    sheet.setRowCells(12, {{3, cell}, {4, Cell{}}});
    sheet.cellAt({5, 1}).formula.reset();
    found.clear();
    sheet.forEachFormulaCell([&](CellAddress at, const Cell &) { found.push_back(at); });
    EXPECT_EQ(found, (std::vector<CellAddress>{{9, 0}, {11, 0}, {12, 3}}));
}

} // namespace
} // namespace orv::sheet
