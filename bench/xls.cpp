// Writing and reading the chart workbook: a 1,000-task chart must each take
// well under 20 ms, and the empty template must stay under 100 KB.

#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/model/Workbook.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xls/XlsWriter.h"

#include <benchmark/benchmark.h>

using namespace orv::sheet;

namespace {

constexpr int kFirstDayColumn = 7; // H
constexpr int kDays = 196;         // H to GU

// A workbook shaped like the Gantt chart: a calendar of formulas, one row
// per task with its dates, a 1-point calendar strip per row, merged month
// labels and conditional formats over the whole calendar.
Workbook chartWorkbook(int tasks)
{
    Workbook book;
    book.setTemplate(true);
    CellFormat strip;
    strip.font.size = 1;
    const int stripFormat = book.addFormat(strip);
    CellFormat date;
    date.numberFormat = QStringLiteral("m/d;@");
    date.fill = {FillPattern::Solid, Color::fromRgb(0xFFCC99)};
    const int dateFormat = book.addFormat(date);
    Sheet &plan = book.addSheet(QStringLiteral("Project Plan"));
    book.addSheet(QStringLiteral("Instructions")).setVisibility(SheetVisibility::Hidden);
    book.addSheet(QStringLiteral("Version")).setVisibility(SheetVisibility::Hidden);

    plan.setColumnInfo(0, {1.375, false, 0});
    plan.setColumnInfo(1, {2.125, false, 0});
    plan.setColumnInfo(2, {25.875, false, 0});
    for (int day = 0; day < kDays; ++day) {
        const int column = kFirstDayColumn + day;
        plan.setColumnInfo(column, {2.0, false, 0});
        Cell month;
        const QString day6 = columnName(column) + QStringLiteral("6");
        const QString before6 = day == 0 ? QStringLiteral("E6") : columnName(column - 1) + QStringLiteral("6");
        month.formula = parseFormula(QStringLiteral("IF(MONTH(%1)<>MONTH(%2),%1,\"\")").arg(day6, before6));
        month.value = QString();
        plan.setCell({3, column}, month);
        Cell dayCell;
        dayCell.formula = parseFormula(day == 0 ? QStringLiteral("MAX(MIN(D3:E15),TODAY()-30)") : QStringLiteral("H6+1"));
        dayCell.value = 46000.0 + day;
        dayCell.formatIndex = dateFormat;
        plan.setCell({5, column}, dayCell);
        plan.mergedRanges().push_back({3, column, 4, column});
        plan.mergedRanges().push_back({5, column, 6, column});
    }
    for (int task = 0; task < tasks; ++task) {
        const int row = 10 + task;
        plan.setRowInfo(row, {14.25, true, false, std::nullopt});
        plan.cellAt({row, 1}).value = QStringLiteral("Task %1").arg(task + 1);
        plan.setCell({row, 3}, Cell{46000.0 + task % 150, nullptr, dateFormat});
        plan.setCell({row, 4}, Cell{46010.0 + task % 150, nullptr, dateFormat});
        plan.setCell({row, 5}, Cell{0.5, nullptr, 0});
        for (int day = 0; day < kDays; ++day)
            plan.setCell({row, kFirstDayColumn + day}, Cell{Value{}, nullptr, stripFormat});
    }
    const int lastRow = 10 + std::max(tasks, 3);
    for (const char *rule : {"AND($B11<>\"\",$F11>0,H$6>=$D11,H$6<=$D11+$F11*($E11-$D11))",
                             "AND(H$6>=$D11,H$6<=$E11,$B11<>\"\")", "OR(WEEKDAY(H$6)=7,WEEKDAY(H$6)=1)"}) {
        ConditionalFormat format;
        format.ranges = {{10, kFirstDayColumn, lastRow, kFirstDayColumn + kDays - 1}};
        ConditionalRule r;
        r.formula = parseFormula(QString::fromLatin1(rule));
        r.style.fill = Fill{FillPattern::Solid, Color::fromRgb(0x33CCCC)};
        r.stopIfTrue = true;
        format.rules.push_back(r);
        plan.conditionalFormats().push_back(format);
    }
    plan.view().frozenColumns = 7;
    plan.view().frozenRows = 8;
    plan.view().showGridlines = false;
    plan.printAreas().printArea = {{9, 7, 16, 189}};
    plan.printAreas().titleColumns = CellRange{0, 0, kMaxRows - 1, 6};
    plan.printAreas().titleRows = CellRange{1, 0, 8, kMaxColumns - 1};
    plan.pageSetup() = {Orientation::Landscape, 1, 66, QString(), QStringLiteral("&CPage &P of &N")};
    return book;
}

void BM_WriteChartWorkbook(benchmark::State &state)
{
    const Workbook book = chartWorkbook(static_cast<int>(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray file = xls::writeXlsFile(book, xls::TemplateMark::Drop);
        size = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_WriteChartWorkbook)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ReadChartWorkbook(benchmark::State &state)
{
    const QByteArray file = xls::writeXlsFile(chartWorkbook(static_cast<int>(state.range(0))), xls::TemplateMark::Drop);
    for (auto _ : state) {
        Workbook book = xls::readXlsFile(file);
        benchmark::DoNotOptimize(book.sheetCount());
    }
}
BENCHMARK(BM_ReadChartWorkbook)->Arg(1000)->Unit(benchmark::kMillisecond);

// The empty template: its size is what the program carries.
void BM_EmptyTemplateSize(benchmark::State &state)
{
    const Workbook book = chartWorkbook(0);
    qsizetype size = 0;
    for (auto _ : state)
        size = xls::writeXlsFile(book).size();
    state.counters["bytes"] = static_cast<double>(size);
    if (size >= 100 * 1024)
        state.SkipWithError("the empty template is 100 KB or larger");
}
BENCHMARK(BM_EmptyTemplateSize)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
