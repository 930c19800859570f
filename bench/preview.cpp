// The preview window with chart-sized pictures: preparing the viewport for a
// 1,000-task chart, and one drawn zoom step on a sample-sized chart.
#include "app/MessageBoxes.h"
#include "app/Services.h"
#include "preview/Form2.h"
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "preview/PictureBox.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

using namespace orv;

struct QuietMessages : MessageBoxes {
    MessageAnswer show(const QString &, const QString &, MessageButtons buttons, MessageIcon) override
    {
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
};
struct NoDialog : SaveFileDialog {
    QString askSavePath(const QString &, const QString &, int *) override { return {}; }
};
struct NoExit : ProgramExit {
    void endProgram() override {}
};
struct BenchFolders : Folders {
    QString programFolder() const override { return folder.path(); }
    QString tempFolder() const override { return folder.path(); }
    QTemporaryDir folder;
};
struct NoMainWindow : preview::MainWindowLink {
    void showMainWindow() override {}
    void saveProjectLists() override {}
};

struct Preview {
    Preview()
    {
        services.messages = &messages;
        services.saveDialog = &dialog;
        services.exit = &exit;
        services.folders = &folders;
    }
    preview::Form2 &handOver(const QImage &picture)
    {
        lazy.assignPicture(picture);
        lazy.setExcelFile(QDir(folders.tempFolder()).filePath(QStringLiteral("kdrave12345678.xls")));
        lazy.show();
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(lazy.loaded(), &activation);
        benchmark::DoNotOptimize(lazy.loaded()->grab());
        return *lazy.loaded();
    }

    QuietMessages messages;
    NoDialog dialog;
    NoExit exit;
    BenchFolders folders;
    NoMainWindow mainWindow;
    Services services;
    preview::LazyPreview lazy{services, mainWindow};
};

// Day columns and task rows of about 19 pixels, with a strip of names.
QImage chartPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = (x % 19 == 0 || y % 19 == 0) ? qRgb(160, 160, 160) : qRgb(255, 255, 255 - (x / 19 % 7) * 20);
    }
    return picture;
}

void reportPeakMemory(benchmark::State &state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// About 196 day columns plus the names, and 1,000 task rows.
void BM_PrepareThousandTaskChart(benchmark::State &state)
{
    const QImage picture = chartPicture(4000, 20000);
    Preview preview;
    for (auto _ : state) {
        preview::Form2 &window = preview.handOver(picture);
        benchmark::DoNotOptimize(window.viewport().scaled());
        state.PauseTiming();
        window.PushButton8->click();
        state.ResumeTiming();
    }
    reportPeakMemory(state);
}
BENCHMARK(BM_PrepareThousandTaskChart)->Unit(benchmark::kMillisecond);

// Zoom Out from 1.0 paints the sample chart at 0.75; Zoom In (refused at
// 1.0, outside the timing) brings it back.
void BM_ZoomStepSampleChart(benchmark::State &state)
{
    const QImage picture = chartPicture(4000, 220);
    Preview preview;
    preview::Form2 &window = preview.handOver(picture);
    for (auto _ : state) {
        window.PushButton2->click();
        benchmark::DoNotOptimize(window.grab());
        state.PauseTiming();
        window.PushButton1->click();
        state.ResumeTiming();
    }
    state.counters["paints"] = window.Picture1->paintCount();
    reportPeakMemory(state);
}
BENCHMARK(BM_ZoomStepSampleChart)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
