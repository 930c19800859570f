// Saving the 1,000-task chart as .xlsx: under 60 ms, with the file's size,
// next to the .xls of the same workbook. The chart is built once by
// "Create Template!" and read back from its .xls file.
#include "BenchMain.h"
#include "BenchChart.h"
#include "sheet/xls/XlsFile.h"
#include "sheet/xls/XlsWriter.h"
#include "sheet/xlsx/XlsxWriter.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;
using namespace orv::bench;

sheet::Workbook chartWorkbook(int tasks)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("chart.xls"));
    files::replaceFile(chartWorkbookBytes(tasks), path);
    return sheet::xls::openWorkbook(path);
}

const sheet::Workbook &thousandTasks()
{
    static const sheet::Workbook book = chartWorkbook(1000);
    return book;
}

void BM_SaveChartAsXlsx(benchmark::State &state)
{
    const sheet::Workbook &book = thousandTasks();
    BenchFolders folders;
    const QString path = folders.tempFolder() + QStringLiteral("/chart.xlsx");
    for (auto _ : state)
        sheet::xlsx::saveWorkbookAsXlsx(book, path, folders.tempFolder());
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    state.counters["rows"] = static_cast<double>(book.sheet(0).lastRow() + 1);
}
BENCHMARK(BM_SaveChartAsXlsx)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveChartAsXls(benchmark::State &state)
{
    const sheet::Workbook &book = thousandTasks();
    BenchFolders folders;
    const QString path = folders.tempFolder() + QStringLiteral("/chart.xls");
    for (auto _ : state)
        sheet::xls::saveWorkbookAs(book, path, sheet::xls::kFileFormatExcel8);
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
}
BENCHMARK(BM_SaveChartAsXls)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QGuiApplication>(argc, argv); }
