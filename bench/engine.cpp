#include "sheet/Clock.h"
#include "sheet/RowOperations.h"
#include "sheet/formula/ConditionalStyling.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/FormulaRules.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace orv::sheet;

constexpr int kFirstDay = 7;                   // column H
constexpr int kLastDay = kFirstDay + 196 - 1;  // column GU
constexpr int kTaskRow = 10;                   // row 11

class FixedClock : public orv::Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2024, 3, 15), QTime(9, 0)); }
};

FormulaPtr formula(const QString &text) { return parseFormula(text); }

QString a1(int row, int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name + QString::number(row + 1);
}

ConditionalRule rule(const char *text, QRgb fill)
{
    ConditionalStyle style;
    style.fill = Fill{FillPattern::Solid, Color::fromRgb(fill)};
    return {formula(QString::fromUtf8(text)), style, false};
}

// A workbook shaped like the chart template: the calendar's two formula
// rows over 196 day columns, five special-event rows and one deliverable
// block of four rows with its conditional formats.
std::unique_ptr<Workbook> templateShapedWorkbook()
{
    auto workbook = std::make_unique<Workbook>();
    Sheet &sheet = workbook->addSheet(QStringLiteral("Project Plan"));
    CellFormat tiny;
    tiny.font.size = 1;
    const int tinyIndex = workbook->addFormat(tiny);
    for (int column = kFirstDay; column <= kLastDay; ++column) {
        const QString day = a1(5, column);
        const QString before = column == kFirstDay ? QStringLiteral("E6") : a1(5, column - 1);
        sheet.cellAt({3, column}).formula
            = formula(QStringLiteral("=IF(MONTH(%1)<>MONTH(%2),%1,\"\")").arg(day, before));
        sheet.cellAt({5, column}).formula = column == kFirstDay
                                                ? formula(QStringLiteral("=MAX(MIN(D3:E15),TODAY()-30)"))
                                                : formula(QStringLiteral("=%1+1").arg(before));
        sheet.mergedRanges().push_back({3, column, 4, column});
        sheet.mergedRanges().push_back({5, column, 6, column});
        for (int row = 9; row <= 12; ++row)
            sheet.cellAt({row, column}).formatIndex = tinyIndex;
    }
    for (int row = 2; row <= 6; ++row)
        sheet.mergedRanges().push_back({row, 1, row, 2});
    sheet.cellAt({9, 0}).value = QStringLiteral("Project Deliverable 1");
    sheet.mergedRanges().push_back({9, 0, 9, 2});
    sheet.cellAt({9, 3}).formula = formula(QStringLiteral("=MIN(D11:D12)"));
    sheet.cellAt({9, 4}).formula = formula(QStringLiteral("=MAX(E11:E12)"));
    sheet.cellAt({10, 1}).value = QStringLiteral("Task");
    sheet.cellAt({10, 3}).value = 45366.0;
    sheet.cellAt({10, 4}).value = 45380.0;
    sheet.cellAt({10, 5}).value = 0.5;
    const double heights[] = {15, 14.25, 6.75, 7.5};
    for (int i = 0; i < 4; ++i)
        sheet.setRowInfo(9 + i, {heights[i], true, false, {}});
    auto &formats = sheet.conditionalFormats();
    formats.push_back({{{10, kFirstDay, 11, kLastDay}},
                       {rule("=AND($B11<>\"\",$F11>0,H$6>=$D11,H$6<=$D11+$F11*($E11-$D11))", 0xFFFF99),
                        rule("=AND(H$6>=$D11,H$6<=$E11,$B11<>\"\")", 0x33CCCC),
                        rule("=AND($C11<>\"\",$F11>0,H$6>=$D11,H$6<=$D11+$F11*($E11-$D11))", 0x00FF00)}});
    formats.push_back({{{9, kFirstDay, 9, kLastDay}},
                       {rule("=AND(H$6>=$D10,H$6<=$E10)", 0x333399), rule("=OR(WEEKDAY(H$6)=7,WEEKDAY(H$6)=1)", 0xFFFF99),
                        rule("=OR(AND(H$6>=$D$3,H$6<=$E$3),AND(H$6>=$D$4,H$6<=$E$4))", 0x00FF00)}});
    formats.push_back({{{3, kFirstDay, 4, kLastDay}}, {rule("=MONTH(H$6)<>MONTH(G$6)", 0x000000)}});
    formats.push_back({{{5, kFirstDay, 6, kLastDay}},
                       {rule("=H$6=TODAY()", 0xFF8080), rule("=WEEKDAY(H$6)=2", 0x99CCFF),
                        rule("=OR(WEEKDAY(H$6)=7,WEEKDAY(H$6)=1)", 0xFFFF99)}});
    formats.push_back({{{10, 0, 10, 2}}, {rule("=AND(TODAY()>$D11+($E11-$D11)*$F11,$F11<1,$D11<>0)", 0xC00000)}});
    sheet.printAreas().printArea = {{9, kFirstDay, 16, 189}};
    sheet.printAreas().titleRows = CellRange{1, 0, 8, 255};
    return workbook;
}

// Inserts `count` task rows the way the builder does: each a copy of the
// task row above it, inserted right below it.
void insertTaskRows(Workbook &workbook, int &nextRow, int count)
{
    Sheet &sheet = workbook.sheet(0);
    for (int i = 0; i < count; ++i, ++nextRow)
        insertCopiedRows(workbook, sheet, nextRow, copyRows(sheet, nextRow - 1, nextRow - 1));
}

// The total time of `range(0)` task-row inserts into a fresh template.
void BM_InsertTaskRows(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto workbook = templateShapedWorkbook();
        int nextRow = kTaskRow + 1;
        state.ResumeTiming();
        insertTaskRows(*workbook, nextRow, static_cast<int>(state.range(0)));
        state.PauseTiming();
        workbook.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertTaskRows)->Arg(1000)->Arg(30000)->Unit(benchmark::kMillisecond)->Iterations(3);

// 1,000 inserts after `range(0)` task rows are already there: the cost
// stays the same whether the sheet is small or large.
void BM_ThousandInsertsAfter(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto workbook = templateShapedWorkbook();
        int nextRow = kTaskRow + 1;
        insertTaskRows(*workbook, nextRow, static_cast<int>(state.range(0)));
        state.ResumeTiming();
        insertTaskRows(*workbook, nextRow, 1000);
        state.PauseTiming();
        workbook.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ThousandInsertsAfter)->Arg(10)->Arg(10000)->Arg(29000)->Unit(benchmark::kMillisecond)->Iterations(3);

// A whole deliverable block (rows 10 to 13) copied and inserted below the last block.
void BM_InsertDeliverableBlocks(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto workbook = templateShapedWorkbook();
        Sheet &sheet = workbook->sheet(0);
        state.ResumeTiming();
        for (int block = 1; block <= state.range(0); ++block)
            insertCopiedRows(*workbook, sheet, 9 + 4 * block, copyRows(sheet, 9, 12));
        state.PauseTiming();
        workbook.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertDeliverableBlocks)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

// A chart with 1,000 tasks in 10 deliverables.
std::unique_ptr<Workbook> thousandTaskChart()
{
    auto workbook = templateShapedWorkbook();
    Sheet &sheet = workbook->sheet(0);
    for (int block = 1; block < 10; ++block)
        insertCopiedRows(*workbook, sheet, 9 + 4 * block, copyRows(sheet, 9, 12));
    int inserted = 0;
    for (int block = 0; block < 10; ++block) {
        int nextRow = kTaskRow + 1 + block * 4 + inserted;
        insertTaskRows(*workbook, nextRow, 99);
        inserted += 99;
    }
    return workbook;
}

void BM_RecalculateThousandTaskChart(benchmark::State &state)
{
    auto workbook = thousandTaskChart();
    const FixedClock clock;
    for (auto _ : state)
        recalculate(*workbook, clock);
}
BENCHMARK(BM_RecalculateThousandTaskChart)->Unit(benchmark::kMillisecond);

// The conditional look of every calendar cell of the 1,000-task chart, as
// a picture of the sheet needs it. Argument 0: every rule evaluated cell by
// cell; 1: with the answers and parts remembered along rows and columns, as
// the picture does.
void BM_ConditionalLooksOfThousandTaskChart(benchmark::State &state)
{
    auto workbook = thousandTaskChart();
    const FixedClock clock;
    recalculate(*workbook, clock);
    const Sheet &sheet = workbook->sheet(0);
    const Evaluator evaluator(*workbook, clock);
    const int lastRow = sheet.lastRow();
    const bool remembered = state.range(0) != 0;
    for (auto _ : state) {
        const RuleTest rules = remembered ? formulaRules(evaluator) : RuleTest();
        for (int row = 3; row <= lastRow; ++row)
            for (int column = kFirstDay; column <= kLastDay; ++column)
                benchmark::DoNotOptimize(remembered ? conditionalStyleAt(sheet, {row, column}, rules)
                                                    : conditionalStyleAt(evaluator, sheet, {row, column}));
    }
}
BENCHMARK(BM_ConditionalLooksOfThousandTaskChart)->Arg(0)->Arg(1)->ArgName("remembered")->Unit(benchmark::kMillisecond);

// The worst case: rows inserted at the top of a sheet of 30,000 task rows
// move all of them (one vector move of the rows below the insertion).
void BM_InsertAtTopOfLargeSheet(benchmark::State &state)
{
    auto workbook = templateShapedWorkbook();
    int nextRow = kTaskRow + 1;
    insertTaskRows(*workbook, nextRow, 30000);
    Sheet &sheet = workbook->sheet(0);
    const CopiedRows task = copyRows(sheet, kTaskRow, kTaskRow);
    for (auto _ : state)
        insertCopiedRows(*workbook, sheet, kTaskRow + 1, task);
}
BENCHMARK(BM_InsertAtTopOfLargeSheet)->Unit(benchmark::kMicrosecond)->Iterations(100);

} // namespace

BENCHMARK_MAIN();
