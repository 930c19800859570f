#include "BenchMain.h"
#include "files/Failure.h"
#include "sheet/formula/Evaluator.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/FormulaRules.h"
#include "sheet/render/SheetPicture.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace orv::sheet;

namespace {

// A chart sheet laid out like the template: six name and date columns, a gap
// and 196 day columns, one block of rows per deliverable, with the template's
// kind of conditional formulas for bars, completed parts, weekends, events
// and today, decided by the formula evaluator.
constexpr int kFirstDay = 7;
constexpr int kLastDay = 202;
constexpr double kFirstDate = 45292; // 2024-01-01, a Monday

class FixedClock : public orv::Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2024, 1, 19), QTime(9, 0)); }
};

ConditionalRule rule(const char *formula, QRgb fill, bool bordered)
{
    ConditionalStyle style;
    style.fill = Fill{FillPattern::Solid, Color::fromRgb(fill)};
    if (bordered) {
        const BorderLine thin{BorderStyle::Thin, Color::fromRgb(0x000000)};
        style.borders = Borders{thin, thin, thin, thin};
    }
    return {parseFormula(QString::fromLatin1(formula)), style, true};
}

const char *const kWeekend = "OR(WEEKDAY(H$6)=7,WEEKDAY(H$6)=1)";
const char *const kEvent = "OR(AND(H$6>=$D$3,H$6<=$E$3),AND(H$6>=$D$4,H$6<=$E$4),AND(H$6>=$D$5,H$6<=$E$5),"
                           "AND(H$6>=$D$6,H$6<=$E$6),AND(H$6>=$D$7,H$6<=$E$7))";

struct Chart {
    Workbook workbook;
    CellRange used;
    FixedClock clock;
};

void put(Workbook &workbook, Sheet &sheet, CellAddress at, Value value, const CellFormat &format)
{
    Cell cell;
    cell.value = std::move(value);
    cell.formatIndex = workbook.addFormat(format);
    sheet.setCell(at, cell);
}

QString columnName(int column)
{
    return column < 26 ? QString(QChar('A' + column))
                       : QString(QChar('A' + column / 26 - 1)) + QChar('A' + column % 26);
}

std::unique_ptr<Chart> buildChart(int deliverables, int tasksEach)
{
    auto chart = std::make_unique<Chart>();
    Workbook &workbook = chart->workbook;
    Sheet &sheet = workbook.addSheet(QStringLiteral("Project Plan"));
    sheet.view().showGridlines = false;
    const double widths[] = {1.375, 2.125, 25.875, 5.75, 5.75, -1, 0.75};
    for (int column = 0; column < 7; ++column)
        if (widths[column] > 0)
            sheet.setColumnInfo(column, {widths[column], false, 0});
    for (int column = kFirstDay; column <= kLastDay; ++column)
        sheet.setColumnInfo(column, {2.0, false, 0});
    const double heights[] = {7.5, 18.75, 15, 15, 15, 15, 15, 3.75, 14.25};
    for (int row = 0; row < 9; ++row)
        sheet.setRowInfo(row, {heights[row], true, false, std::nullopt});

    CellFormat header;
    header.fill = {FillPattern::Solid, Color::fromRgb(0x333399)};
    header.font.color = Color::fromRgb(0xFFFFFF);
    CellFormat title = header;
    title.font.size = 14;
    put(workbook, sheet, {1, kFirstDay}, QStringLiteral("Project Plan Template"), title);
    sheet.mergedRanges().push_back({1, kFirstDay, 2, kLastDay});
    put(workbook, sheet, {1, 1}, QStringLiteral("Special Events"), {});
    CellFormat month;
    month.numberFormat = QStringLiteral("mmm");
    month.font.bold = true;
    month.fill = {FillPattern::Solid, Color::fromRgb(0x808000)};
    month.font.color = Color::fromRgb(0xFFFFFF);
    CellFormat day;
    day.numberFormat = QStringLiteral("m/d");
    day.font.size = 10;
    day.alignment.rotation = 90;
    day.alignment.horizontal = HorizontalAlignment::Center;
    for (int column = kFirstDay; column <= kLastDay; ++column) {
        const double date = kFirstDate + column - kFirstDay;
        put(workbook, sheet, {3, column}, column == kFirstDay || int(date) % 30 == 0 ? Value(date) : Value(QString()),
            month);
        sheet.mergedRanges().push_back({3, column, 4, column});
        if (column == kFirstDay) {
            put(workbook, sheet, {5, column}, date, day);
        } else {
            Cell next;
            next.formula = parseFormula(QStringLiteral("%1+1").arg(columnName(column - 1) + QStringLiteral("6")));
            next.formatIndex = workbook.addFormat(day);
            sheet.setCell({5, column}, next);
        }
        sheet.mergedRanges().push_back({5, column, 6, column});
    }
    put(workbook, sheet, {8, 3}, QStringLiteral("Start"), header);
    put(workbook, sheet, {8, 4}, QStringLiteral("End"), header);
    put(workbook, sheet, {8, 5}, QStringLiteral("% Compl."), header);

    CellFormat dates;
    dates.numberFormat = QStringLiteral("m/d;@");
    dates.fill = {FillPattern::Solid, Color::fromRgb(0xFFCC99)};
    CellFormat percent = dates;
    percent.numberFormat = QStringLiteral("0%");
    CellFormat calendar;
    calendar.font.size = 1;
    CellFormat deliverable = header;
    deliverable.font.bold = true;
    deliverable.numberFormat = QStringLiteral("m/d;@");

    put(workbook, sheet, {2, 1}, QStringLiteral("Launch"), {});
    put(workbook, sheet, {2, 3}, kFirstDate + 20, dates);
    put(workbook, sheet, {2, 4}, kFirstDate + 22, dates);
    std::vector<CellRange> taskRanges, deliverableRanges;
    int row = 9;
    for (int block = 0; block < deliverables; ++block) {
        sheet.setRowInfo(row, {15, true, false, std::nullopt});
        put(workbook, sheet, {row, 0}, QStringLiteral("Project Deliverable %1").arg(block + 1), deliverable);
        sheet.mergedRanges().push_back({row, 0, row, 2});
        put(workbook, sheet, {row, 3}, kFirstDate + 3 * block, deliverable);
        put(workbook, sheet, {row, 4}, kFirstDate + 3 * block + 40, deliverable);
        put(workbook, sheet, {row, 5}, QString(), deliverable);
        for (int column = kFirstDay; column <= kLastDay; ++column)
            put(workbook, sheet, {row, column}, {}, calendar);
        deliverableRanges.push_back({row, kFirstDay, row, kLastDay});
        const int firstTask = ++row;
        for (int task = 0; task < tasksEach; ++task) {
            sheet.setRowInfo(row, {14.25, true, false, std::nullopt});
            put(workbook, sheet, {row, task % 3 == 2 ? 2 : 1}, QStringLiteral("Task %1.%2").arg(block + 1).arg(task + 1),
                {});
            const double start = kFirstDate + (3 * block + task) % 150;
            put(workbook, sheet, {row, 3}, start, dates);
            put(workbook, sheet, {row, 4}, start + 5 + task % 20, dates);
            put(workbook, sheet, {row, 5}, (task % 5) * 0.25, percent);
            for (int column = kFirstDay; column <= kLastDay; ++column)
                put(workbook, sheet, {row, column}, {}, calendar);
            ++row;
        }
        taskRanges.push_back({firstTask, kFirstDay, row - 1, kLastDay});
        sheet.setRowInfo(row++, {6.75, true, false, std::nullopt});
        sheet.setRowInfo(row++, {7.5, true, false, std::nullopt});
    }
    const int lastRow = row - 1;
    put(workbook, sheet, {lastRow, 0}, QString(), {});
    chart->used = {0, 0, lastRow, kLastDay};

    const char *const completed = ",$F11>0,H$6>=$D11,H$6<=$D11+$F11*($E11-$D11))";
    sheet.conditionalFormats().push_back(
        {taskRanges,
         {rule((std::string("AND($B11<>\"\"") + completed).c_str(), 0xFFFF99, true),
          rule("AND(H$6>=$D11,H$6<=$E11,$B11<>\"\")", 0x33CCCC, true),
          rule((std::string("AND($C11<>\"\"") + completed).c_str(), 0x00FF00, true),
          rule("AND(H$6>=$D11,H$6<=$E11,$C11<>\"\")", 0xCC99FF, true), rule(kWeekend, 0xC0C0C0, false),
          rule(kEvent, 0xCCFFCC, false), rule("H$6=TODAY()", 0xFF8080, false)}});
    sheet.conditionalFormats().push_back({deliverableRanges,
                                          {rule("AND(H$6>=$D10,H$6<=$E10)", 0x333399, false),
                                           rule(kWeekend, 0xFFFF99, false), rule(kEvent, 0x00FF00, false)}});
    sheet.conditionalFormats().push_back({{{5, kFirstDay, 6, kLastDay}},
                                          {rule("H$6=TODAY()", 0xFF8080, false), rule("WEEKDAY(H$6)=2", 0x99CCFF, false),
                                           rule(kWeekend, 0xFFFF99, false)}});
    recalculate(workbook, chart->clock);
    return chart;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void renderAndWrite(benchmark::State &state, int deliverables, int tasksEach)
{
    const auto chart = buildChart(deliverables, tasksEach);
    const Evaluator evaluator(chart->workbook, chart->clock);
    RenderOptions options;
    options.ruleHolds = formulaRules(evaluator);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("temp.bmp"));
    for (auto _ : state)
        writePicture(chart->workbook, 0, chart->used, path, options);
    const QSize size = pictureSize(chart->workbook, 0, chart->used);
    state.counters["width_px"] = size.width();
    state.counters["height_px"] = size.height();
    state.counters["file_KB"] = QFileInfo(path).size() / 1024.0;
    state.counters["peak_MB"] = peakMegabytes();
}

// The sample project: two deliverables, thirteen rows of plan.
void BM_SampleChartPicture(benchmark::State &state) { renderAndWrite(state, 2, 1); }
BENCHMARK(BM_SampleChartPicture)->Unit(benchmark::kMillisecond);

void BM_ThousandTaskChartPicture(benchmark::State &state) { renderAndWrite(state, 10, 100); }
BENCHMARK(BM_ThousandTaskChartPicture)->Unit(benchmark::kMillisecond)->Iterations(3);

// Rendering the sample chart alone, into memory, for the preview's size.
void BM_SampleChartRenderOnly(benchmark::State &state)
{
    const auto chart = buildChart(2, 1);
    const Evaluator evaluator(chart->workbook, chart->clock);
    RenderOptions options;
    options.ruleHolds = formulaRules(evaluator);
    for (auto _ : state)
        benchmark::DoNotOptimize(renderRange(chart->workbook, 0, chart->used, options));
}
BENCHMARK(BM_SampleChartRenderOnly)->Unit(benchmark::kMillisecond);

// The largest chart the builder allows (rows are 16-bit) is refused at once.
void BM_LargestChartRefused(benchmark::State &state)
{
    const auto chart = buildChart(1, 32760);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("temp.bmp"));
    const double before = peakMegabytes(); // the chart's workbook itself is large
    for (auto _ : state) {
        try {
            writePicture(chart->workbook, 0, chart->used, path);
            state.SkipWithError("the largest chart was not refused");
        } catch (const orv::Failure &) {
            // refused, as it should be
        }
    }
    state.counters["peak_growth_MB"] = peakMegabytes() - before;
}
BENCHMARK(BM_LargestChartRefused)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QGuiApplication>(argc, argv); }
