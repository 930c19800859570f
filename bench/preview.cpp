// The preview's picture of a 1,000-task chart painted from its sheet, as
// after a zoom step or a page scroll, when every tile in view is new.
#include "BenchMain.h"
#include "BenchChart.h"
#include "app/FileOperations.h"
#include "chart/ChartBuilder.h"
#include "chart/CustomResource.h"
#include "preview/PictureTiles.h"
#include "sheet/render/RangePicture.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

using namespace orv;


// The sheet's picture the builder hands over for a chart of `tasks` tasks.
std::shared_ptr<sheet::RangePicture> chartOfTasks(int tasks)
{
    struct Taking : chart::ChartPreview {
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
    bench::reportPeakMemory(state);
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
