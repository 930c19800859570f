// The printed pages of a built chart as a PDF file: reading the chart
// workbook, working out its formulas and painting every page, with the
// file's size and page count. The same pages painted onto a device that
// writes nothing show what preparing them costs without Qt's PDF writer.
#include "BenchMain.h"
#include "BenchChart.h"
#include "chart/ChartPages.h"
#include "sheet/render/PrintedSheet.h"

#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;
using namespace orv::bench;

void BM_ChartPdf(benchmark::State &state)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("chart.xls"));
    files::replaceFile(chartWorkbookBytes(static_cast<int>(state.range(0))), path);
    const SystemClock clock;
    QByteArray pdf;
    for (auto _ : state)
        pdf = chart::ChartPages(path, clock).pdf();
    const chart::ChartPages chart(path, clock);
    state.counters["pages"] = chart.printedOn(chart.paper())->pageCount();
    state.counters["MB"] = pdf.size() / 1e6;
}
BENCHMARK(BM_ChartPdf)->Arg(2)->Arg(200)->Arg(1000)->ArgName("tasks")->Unit(benchmark::kMillisecond)->UseRealTime();

// Takes every drawing call and writes nothing.
class UnwrittenEngine : public QPaintEngine {
public:
    UnwrittenEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawRects(const QRectF *, int) override {}
    void drawRects(const QRect *, int) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &, const QTextItem &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    Type type() const override { return QPaintEngine::User; }
};

// Letter paper, landscape, at 96 dots per inch, as the chart prints. Pages
// are laid out for the chart's own paper, so its page layout, which it has
// none of, is never asked for.
class UnwrittenPages : public QPagedPaintDevice {
public:
    UnwrittenPages() : QPagedPaintDevice(nullptr) {}
    QPaintEngine *paintEngine() const override { return &mEngine; }
    bool newPage() override { return true; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return 1056;
        case PdmHeight: return 816;
        case PdmWidthMM: return 279;
        case PdmHeightMM: return 216;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 1;
        }
    }

private:
    mutable UnwrittenEngine mEngine;
};

void BM_ChartPagesUnwritten(benchmark::State &state)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("chart.xls"));
    files::replaceFile(chartWorkbookBytes(static_cast<int>(state.range(0))), path);
    const SystemClock clock;
    for (auto _ : state) {
        const chart::ChartPages chart(path, clock);
        const std::unique_ptr<sheet::PrintedSheet> printed = chart.printedOn(chart.paper());
        UnwrittenPages device;
        sheet::printSheet(*printed, device, 0, printed->pageCount() - 1);
    }
}
BENCHMARK(BM_ChartPagesUnwritten)->Arg(1000)->ArgName("tasks")->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QGuiApplication>(argc, argv); }
