// Saving the 1,000-task chart as .xlsx: under 60 ms, with the file's size,
// next to the .xls of the same workbook. The chart is built once by
// "Create Template!" and read back from its .xls file.
#include "BenchMain.h"
#include "BenchChart.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartPreview.h"
#include "chart/CustomResource.h"
#include "chart/EngineApplicationFactory.h"
#include "sheet/Failure.h"
#include "sheet/xls/XlsFile.h"
#include "sheet/xls/XlsWriter.h"
#include "sheet/xlsx/XlsxWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;
using namespace orv::bench;

// Keeps the chart workbook the builder hands over.
class KeepWorkbook : public chart::ChartPreview {
public:
    void loadPicture(const QString &) override {}
    void setExcelFile(const QString &path) override { workbook = sheet::xls::openWorkbook(path); }
    void show() override {}
    sheet::Workbook workbook;
};

sheet::Workbook chartWorkbook(int tasks)
{
    BuilderServices bench;
    const chart::ProjectLists lists = project(tasks);
    NoWindow window;
    KeepWorkbook preview;
    chart::ChartBuilder builder({bench.services, lists, window, preview, [] { return chart::loadCustomResource(101); }});
    builder.PushButton6_Click();
    if (bench.messages.shown != 0)
        throw Failure(QStringLiteral("the builder reported a failure"));
    return std::move(preview.workbook);
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
