// Reading the plan back from a 1,000-task chart: under 100 ms from its .xls
// file, under 200 ms from its .xlsx file. The chart is built once by
// "Create Template!"; each iteration reads the file's bytes from memory.
#include "BenchMain.h"
#include "BenchChart.h"
#include "chart/PlanFile.h"
#include "files/FileAccess.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xlsx/XlsxWriter.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;
using namespace orv::bench;

const QByteArray &thousandTaskChart()
{
    static const QByteArray bytes = chartWorkbookBytes(1000);
    return bytes;
}

void readBack(benchmark::State &state, const QByteArray &file)
{
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    std::size_t tasks = 0;
    for (auto _ : state)
        tasks = chart::readPlanBytes(file, QStringLiteral("chart"), locale).lists.tasks.size();
    state.counters["tasks"] = static_cast<double>(tasks);
    state.counters["bytes"] = static_cast<double>(file.size());
}

void BM_ReadPlanFromXls(benchmark::State &state) { readBack(state, thousandTaskChart()); }
BENCHMARK(BM_ReadPlanFromXls)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadPlanFromXlsx(benchmark::State &state)
{
    const QTemporaryDir scratch;
    static const QByteArray xlsx =
        sheet::xlsx::writeXlsxFile(sheet::xls::readXlsFile(thousandTaskChart()), scratch.path());
    readBack(state, xlsx);
}
BENCHMARK(BM_ReadPlanFromXlsx)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QGuiApplication>(argc, argv); }
