#include "sheet/model/Workbook.h"
#include "sheet/render/SheetPicture.h"

#include <QDir>
#include <QFileInfo>
#include "sheet/Failure.h"
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace orv::sheet;

namespace {

// A chart sheet laid out like the template: six name and date columns, a gap
// and 196 day columns, one block of rows per deliverable, with conditional
// formats for bars, completed parts, weekends, events and today.
constexpr int kFirstDay = 7;
constexpr int kLastDay = 202;
constexpr double kFirstDate = 45292; // 2024-01-01, a Monday
constexpr int kToday = 45310;

enum Rule { Completed = 1, Bar, DeliverableBar, Weekend, Event, Today, Monday };

ConditionalRule rule(Rule id, QRgb fill, bool bordered)
{
    auto formula = std::make_shared<FormulaNode>();
    formula->kind = FormulaNode::Kind::Number;
    formula->number = id;
    ConditionalStyle style;
    style.fill = Fill{FillPattern::Solid, Color::fromRgb(fill)};
    if (bordered) {
        const BorderLine thin{BorderStyle::Thin, Color::fromRgb(0x808080)};
        style.borders = Borders{thin, thin, thin, thin};
    }
    return {formula, style, false};
}

struct Chart {
    Workbook workbook;
    CellRange used;
    std::vector<int> taskRows;
    std::vector<int> deliverableRows;
};

void put(Workbook &workbook, Sheet &sheet, CellAddress at, Value value, const CellFormat &format)
{
    Cell cell;
    cell.value = std::move(value);
    cell.formatIndex = workbook.addFormat(format);
    sheet.setCell(at, cell);
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
        put(workbook, sheet, {5, column}, date, day);
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
        chart->deliverableRows.push_back(row++);
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
            chart->taskRows.push_back(row++);
        }
        sheet.setRowInfo(row++, {6.75, true, false, std::nullopt});
        sheet.setRowInfo(row++, {7.5, true, false, std::nullopt});
    }
    const int lastRow = row - 1;
    put(workbook, sheet, {lastRow, 0}, QString(), {});
    chart->used = {0, 0, lastRow, kLastDay};

    sheet.conditionalFormats().push_back(
        {{{10, kFirstDay, lastRow, kLastDay}}, {rule(Completed, 0xFFFF99, true), rule(Bar, 0x33CCCC, true)}});
    sheet.conditionalFormats().push_back({{{9, kFirstDay, lastRow, kLastDay}},
                                          {rule(DeliverableBar, 0x333399, false), rule(Weekend, 0xFFFF99, false),
                                           rule(Event, 0x00FF00, false)}});
    sheet.conditionalFormats().push_back({{{5, kFirstDay, 6, kLastDay}},
                                          {rule(Today, 0xFF8080, false), rule(Monday, 0x99CCFF, false),
                                           rule(Weekend, 0xFFFF99, false)}});
    return chart;
}

// The rules computed directly from the cells, standing in for formulas.
RenderOptions chartRules(const Chart &chart)
{
    RenderOptions options;
    options.ruleHolds = [](const Sheet &sheet, const ConditionalFormat &, const ConditionalRule &rule,
                           CellAddress at) {
        const double day = kFirstDate + at.column - kFirstDay;
        auto number = [&](int column) {
            const Cell *cell = sheet.cell({at.row, column});
            const double *value = cell ? std::get_if<double>(&cell->value) : nullptr;
            return value ? *value : 0.0;
        };
        const bool named = sheet.cell({at.row, 1}) || sheet.cell({at.row, 2});
        const int weekday = (int(day) + 6) % 7; // 0 = Sunday
        switch (Rule(int(rule.formula->number))) {
        case Completed:
            return named && number(5) > 0 && day >= number(3) && day <= number(3) + number(5) * (number(4) - number(3));
        case Bar: return named && day >= number(3) && day <= number(4);
        case DeliverableBar: return day >= number(3) && day <= number(4);
        case Weekend: return weekday == 0 || weekday == 6;
        case Event: return int(day) % 50 == 0;
        case Today: return int(day) == kToday;
        case Monday: return weekday == 1;
        }
        return false;
    };
    return options;
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
    const RenderOptions options = chartRules(*chart);
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
    const RenderOptions options = chartRules(*chart);
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
    for (auto _ : state) {
        try {
            writePicture(chart->workbook, 0, chart->used, path, chartRules(*chart));
            state.SkipWithError("the largest chart was not refused");
        } catch (const orv::Failure &) {
        }
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_LargestChartRefused)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
