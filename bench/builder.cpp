// "Create Template!" from the click to the hand-over, without windows: both
// spreadsheet instances, the saved chart workbook, the picture file and its
// loading by the preview.
#include "BenchChart.h"
#include "chart/BuilderWindow.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartPreview.h"
#include "chart/CustomResource.h"
#include "chart/EngineApplicationFactory.h"
#include "chart/ProjectLists.h"
#include "sheet/Failure.h"
#include "sheet/render/SheetPicture.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;
using namespace orv::bench;

// Takes the picture file (and, when `decode` is set, loads it as the
// preview window does), then lets the workbook go.
class BenchPreview : public chart::ChartPreview {
public:
    explicit BenchPreview(bool decode) : mDecode(decode) {}
    void loadPicture(const QString &path) override
    {
        if (mDecode)
            picture = sheet::readPicture(path);
        else if (!QFile::exists(path))
            throw Failure(QStringLiteral("No picture file"));
    }
    void setExcelFile(const QString &path) override { QFile::remove(path); }
    void show() override {}
    QImage picture;

private:
    bool mDecode;
};

// Arguments: the number of tasks, and whether the preview decodes the picture.
void BM_CreateTemplate(benchmark::State &state)
{
    SilentMessages messages;
    BenchFolders folders;
    SystemClock clock;
    chart::EngineApplicationFactory spreadsheets(clock, QLocale(QLocale::English, QLocale::UnitedStates));
    Services services;
    services.messages = &messages;
    services.folders = &folders;
    services.clock = &clock;
    services.spreadsheets = &spreadsheets;
    const chart::ProjectLists lists = project(static_cast<int>(state.range(0)));
    NoWindow window;
    BenchPreview preview(state.range(1) != 0);
    const QByteArray templateBytes = chart::loadCustomResource(101);
    chart::ChartBuilder builder({services, lists, window, preview, [&] { return templateBytes; }});
    for (auto _ : state)
        builder.PushButton6_Click();
    if (messages.shown != 0)
        state.SkipWithError("the builder reported a failure");
}
BENCHMARK(BM_CreateTemplate)
    ->ArgsProduct({{2, 200, 1000}, {0, 1}})
    ->ArgNames({"tasks", "decode"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
