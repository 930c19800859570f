// The printed pages of a built chart as a PDF file: reading the chart
// workbook, working out its formulas and painting every page, with the
// file's size and page count.
#include "BenchMain.h"
#include "BenchChart.h"
#include "chart/ChartPages.h"
#include "sheet/render/PrintedSheet.h"

#include <QTemporaryDir>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;
using namespace orv::bench;

void BM_ChartPdf(benchmark::State &state)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("chart.xls"));
    files::replaceFile(chartWorkbookBytes(static_cast<int>(state.range(0))), path);
    const SystemClock clock;
    QByteArray pdf;
    for (auto _ : state)
        pdf = chart::ChartPages(path, clock).pdf();
    const chart::ChartPages chart(path, clock);
    state.counters["pages"] = chart.printedOn(chart.paper())->pageCount();
    state.counters["MB"] = pdf.size() / 1e6;
}
BENCHMARK(BM_ChartPdf)->Arg(2)->Arg(200)->Arg(1000)->ArgName("tasks")->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QGuiApplication>(argc, argv); }
