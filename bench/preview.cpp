// The preview window with chart-sized pictures: preparing the viewport for a
// 1,000-task chart, and one drawn zoom step on a sample-sized chart; and the
// view of a 1,000-task chart painted from its sheet, as after a zoom step or
// a page scroll, when every tile in view is new.
#include "BenchMain.h"
#include "BenchChart.h"
#include "app/FileOperations.h"
#include "app/MessageBoxes.h"
#include "chart/ChartBuilder.h"
#include "chart/CustomResource.h"
#include "preview/PictureTiles.h"
#include "sheet/render/RangePicture.h"
#include "app/Services.h"
#include "preview/Form2.h"
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "preview/PictureBox.h"

#include <QApplication>
#include <QPainter>
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

// The sheet's picture the builder hands over for a chart of `tasks` tasks.
std::shared_ptr<sheet::RangePicture> chartOfTasks(int tasks)
{
    struct Taking : chart::ChartPreview {
        void loadPicture(const QString &) override {}
        void takePicture(const chart::HandedPicture &picture) override { sheet = picture.sheet; }
        void setExcelFile(const QString &path) override { DeleteFileIfExists(path); }
        void show() override {}
        bool paintsFromSheet() const override { return true; }
        std::shared_ptr<sheet::RangePicture> sheet;
    } taking;
    bench::BuilderServices services;
    bench::NoWindow window;
    const chart::ProjectLists lists = bench::project(tasks);
    chart::ChartBuilder builder({services.services, lists, window, taking, [] { return chart::loadCustomResource(101); }});
    builder.PushButton6_Click();
    return taking.sheet;
}

// Arguments: the zoom in per cent, the view's width and height in pixels,
// and the screen's pixel ratio in per cent. Each view lies further down the
// chart, with no tile of it painted before.
void BM_PaintNewViewThousandTasks(benchmark::State &state)
{
    const std::shared_ptr<sheet::RangePicture> picture = chartOfTasks(1000);
    if (!picture) {
        state.SkipWithError("no picture");
        return;
    }
    const double zoom = state.range(0) / 100.0;
    const QSize view(int(state.range(1)), int(state.range(2)));
    const double ratio = state.range(3) / 100.0;
    QImage screen(view * ratio, QImage::Format_RGB32);
    screen.setDevicePixelRatio(ratio);
    preview::PictureTiles tiles(picture);
    int top = 0;
    for (auto _ : state) {
        QPainter painter(&screen);
        tiles.paint(painter, QRect(QPoint(), view), QPoint(300, top), zoom, ratio);
        top = (top + view.height()) % std::max(1, int(picture->size().height() * zoom) - view.height());
    }
    state.counters["tiles_per_view"] = double(tiles.tilesPainted()) / double(state.iterations());
    reportPeakMemory(state);
}
BENCHMARK(BM_PaintNewViewThousandTasks)
    ->Args({100, 656, 624, 100})
    ->Args({100, 1280, 1024, 100})
    ->Args({375, 1280, 1024, 100})
    ->Args({200, 1280, 800, 200})
    ->ArgNames({"zoom", "width", "height", "ratio"})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QApplication>(argc, argv); }
