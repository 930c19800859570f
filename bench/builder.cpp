// "Create Template!" from the click to the hand-over, without windows: both
// spreadsheet instances, the saved chart workbook, the picture file and its
// loading by the preview. Then the same up to the first paint of the real
// preview window, with the process's peak memory.
#include "BenchMain.h"
#include "BenchChart.h"
#include "app/FileOperations.h"
#include "chart/BuilderWindow.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartPreview.h"
#include "chart/CustomResource.h"
#include "chart/EngineApplicationFactory.h"
#include "chart/ProjectLists.h"
#include "preview/Form2.h"
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "files/Failure.h"
#include "sheet/render/SheetPicture.h"

#include <QApplication>
#include <QPushButton>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;
using namespace orv::bench;

// Takes the picture file (and, when `decode` is set, loads it as the
// preview window does), then lets the workbook go.
class BenchPreview : public chart::ChartPreview {
public:
    explicit BenchPreview(bool decode, bool wantsPicture = true) : mDecode(decode), mWantsPicture(wantsPicture) {}
    void takePicture(const chart::HandedPicture &handed) override
    {
        const QString &path = handed.path;
        if (mDecode)
            picture = sheet::readPicture(path);
        else if (!QFile::exists(path))
            throw Failure(QStringLiteral("No picture file"));
    }
    void setExcelFile(const QString &path) override { DeleteFileIfExists(path); }
    void show() override {}
    bool wantsPicture() const override { return mWantsPicture; }
    QImage picture;

private:
    bool mDecode;
    bool mWantsPicture;
};

void runBuilder(benchmark::State &state, const chart::ProjectLists &lists, BenchPreview &preview)
{
    BuilderServices bench;
    NoWindow window;
    const QByteArray templateBytes = chart::loadCustomResource(101);
    chart::ChartBuilder builder({bench.services, lists, window, preview, [&] { return templateBytes; }});
    for (auto _ : state)
        builder.PushButton6_Click();
    if (bench.messages.shown != 0)
        state.SkipWithError("the builder reported a failure");
}

// Arguments: the number of tasks, and whether the preview decodes the picture.
void BM_CreateTemplate(benchmark::State &state)
{
    BenchPreview preview(state.range(1) != 0);
    runBuilder(state, project(static_cast<int>(state.range(0))), preview);
}
BENCHMARK(BM_CreateTemplate)
    ->ArgsProduct({{2, 200, 1000}, {0, 1}})
    ->ArgNames({"tasks", "decode"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Many categories without tasks and without a picture: the category blocks
// alone, whose time must grow in step with their number. (Placing tasks
// compares every task with every category, as the steps are written.)
void BM_CategoryBlocks(benchmark::State &state)
{
    chart::ProjectLists lists;
    for (int c = 0; c < state.range(0); ++c)
        lists.categories.push_back({QStringLiteral("Category %1").arg(c + 1)});
    BenchPreview preview(false, false);
    runBuilder(state, lists, preview);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CategoryBlocks)
    ->RangeMultiplier(2)
    ->Range(1000, 8000)
    ->ArgName("categories")
    ->Unit(benchmark::kMillisecond)
    ->Complexity()
    ->UseRealTime();

struct NoMainWindow : preview::MainWindowLink {
    void showMainWindow() override {}
    void saveProjectLists() override {}
};

// From the click on "Create Template!" until the preview window has painted
// its first view. Run one task count per process for a meaningful peak.
void BM_CreateToFirstPaint(benchmark::State &state)
{
    BuilderServices bench;
    Services &services = bench.services;
    const chart::ProjectLists lists = project(static_cast<int>(state.range(0)));
    NoWindow window;
    NoMainWindow mainWindow;
    preview::LazyPreview preview(services, mainWindow);
    const QByteArray templateBytes = chart::loadCustomResource(101);
    chart::ChartBuilder builder({services, lists, window, preview, [&] { return templateBytes; }});
    for (auto _ : state) {
        builder.PushButton6_Click();
        benchmark::DoNotOptimize(preview.loaded()->grab());
        state.PauseTiming();
        preview.loaded()->PushButton8->click();
        state.ResumeTiming();
    }
    if (bench.messages.shown != 0)
        state.SkipWithError("the builder reported a failure");
    reportPeakMemory(state);
}
BENCHMARK(BM_CreateToFirstPaint)
    ->Arg(2)
    ->Arg(1000)
    ->ArgName("tasks")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QApplication>(argc, argv); }
