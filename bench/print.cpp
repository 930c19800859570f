// The printed pages of a built chart as a PDF file: reading the chart
// workbook, working out its formulas and painting every page, with the
// file's size and page count.
#include "BenchMain.h"
#include "BenchChart.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartPages.h"
#include "chart/ChartPreview.h"
#include "chart/CustomResource.h"
#include "sheet/render/PrintedSheet.h"

#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;
using namespace orv::bench;

// Keeps the chart workbook the builder hands over.
class KeepWorkbook : public chart::ChartPreview {
public:
    void loadPicture(const QString &) override {}
    void setExcelFile(const QString &path) override { excelFile = path; }
    void show() override {}
    bool wantsPicture() const override { return false; }
    QString excelFile;
};

void BM_ChartPdf(benchmark::State &state)
{
    BuilderServices bench;
    NoWindow window;
    KeepWorkbook preview;
    const chart::ProjectLists lists = project(static_cast<int>(state.range(0)));
    chart::ChartBuilder builder({bench.services, lists, window, preview, [] { return chart::loadCustomResource(101); }});
    builder.PushButton6_Click();
    if (bench.messages.shown != 0 || preview.excelFile.isEmpty()) {
        state.SkipWithError("the builder reported a failure");
        return;
    }
    QByteArray pdf;
    for (auto _ : state)
        pdf = chart::ChartPages(preview.excelFile, bench.clock).pdf();
    const chart::ChartPages chart(preview.excelFile, bench.clock);
    state.counters["pages"] = chart.printedOn(chart.paper())->pageCount();
    state.counters["MB"] = pdf.size() / 1e6;
    QFile::remove(preview.excelFile);
}
BENCHMARK(BM_ChartPdf)->Arg(2)->Arg(200)->Arg(1000)->ArgName("tasks")->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QGuiApplication>(argc, argv); }
