// "Create Template!" from the click to the hand-over, without windows: both
// spreadsheet instances, the saved chart workbook, the picture file and its
// loading by the preview.
#include "app/FileOperations.h"
#include "app/MessageBoxes.h"
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

class SilentMessages : public MessageBoxes {
public:
    MessageAnswer show(const QString &, const QString &, MessageButtons, MessageIcon) override
    {
        ++shown;
        return MessageAnswer::Ok;
    }
    int shown = 0;
};

class BenchFolders : public Folders {
public:
    QString programFolder() const override { return mTemp.path(); }
    QString tempFolder() const override { return mTemp.path(); }

private:
    QTemporaryDir mTemp;
};

class NoWindow : public chart::BuilderWindow {
public:
    void setPointer(PointerSetting) override {}
    void hideMainWindow() override {}
};

// Takes the picture file (and, when `decode` is set, loads it as the
// preview window does), then lets the workbook go.
class BenchPreview : public chart::ChartPreview {
public:
    explicit BenchPreview(bool decode, bool wantsPicture = true) : mDecode(decode), mWantsPicture(wantsPicture) {}
    void loadPicture(const QString &path) override
    {
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

// The sample's shape scaled up: a category for every 50 tasks, a sub-task
// every fourth task, five special events.
chart::ProjectLists project(int tasks)
{
    chart::ProjectLists lists;
    const int categories = std::max(2, tasks / 50);
    for (int c = 0; c < categories; ++c)
        lists.categories.push_back({QStringLiteral("Category %1").arg(c + 1)});
    for (int t = 0; t < tasks; ++t) {
        const int day = 1 + t % 28;
        lists.tasks.push_back({QStringLiteral("Task %1").arg(t + 1), QString::number(t * 7 % 101),
                               QStringLiteral("8/%1/2016").arg(day), QStringLiteral("9/%1/2016").arg(day),
                               QStringLiteral("Category %1").arg(t % categories + 1),
                               t % 4 == 3 ? QStringLiteral("V") : QString()});
    }
    for (int e = 0; e < 5; ++e)
        lists.events.push_back({QStringLiteral("Event %1").arg(e + 1), QStringLiteral("8/%1/2016").arg(10 + e),
                                QStringLiteral("8/%1/2016").arg(10 + e)});
    return lists;
}

// The services of one builder without windows.
struct BenchServices {
    BenchServices() : spreadsheets(clock, QLocale(QLocale::English, QLocale::UnitedStates))
    {
        services.messages = &messages;
        services.folders = &folders;
        services.clock = &clock;
        services.spreadsheets = &spreadsheets;
    }
    SilentMessages messages;
    BenchFolders folders;
    SystemClock clock;
    chart::EngineApplicationFactory spreadsheets;
    Services services;
};

void runBuilder(benchmark::State &state, const chart::ProjectLists &lists, BenchPreview &preview)
{
    BenchServices bench;
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
