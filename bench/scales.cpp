// "Create Template!" for a plan of 1,000 tasks at each calendar scale,
// picture included: the week and month charts are to take no more than
// 10 % over the day chart's time and memory. Two plans: one of six months,
// which the day calendar shows whole, and one of 15 months, of which the
// day calendar shows the first half (so fewer bars to draw and compress).
// Peak memory only grows within a process, so each case's is read in a run
// of its own:
//   bench_scales --benchmark_filter='scale:0/months:6'   (days; 1 weeks, 2 months)
#include "BenchChart.h"
#include "BenchMain.h"
#include "chart/HandedPicture.h"
#include "chart/PictureFileWriting.h"
#include "app/FileOperations.h"
#include "chart/template/ChartTemplate.h"
#include "sheet/xls/XlsWriter.h"

#include <QDate>
#include <QGuiApplication>
#include <sys/resource.h>

namespace {

using namespace orv;
using namespace orv::bench;

// Takes the picture painted from the sheet and waits until its file is
// written, then lets the workbook go.
class PictureTaker : public chart::ChartPreview {
public:
    void takePicture(const chart::HandedPicture &picture) override
    {
        if (picture.writing)
            picture.writing->wait();
    }
    void setExcelFile(const QString &path) override { DeleteFileIfExists(path); }
    void show() override {}
    bool paintsFromSheet() const override { return true; }
};

// From 6 January 2027 for about `months` months, a task starting every few
// days, the special events in its first days.
chart::ProjectLists planOver(int tasks, int months)
{
    chart::ProjectLists lists = project(tasks);
    const QDate first(2027, 1, 6);
    const int days = months * 28;
    for (int t = 0; t < tasks; ++t) {
        const QDate start = first.addDays(t * 13 % days);
        lists.tasks[t][2] = start.toString(QStringLiteral("M/d/yyyy"));
        lists.tasks[t][3] = start.addDays(t % 30).toString(QStringLiteral("M/d/yyyy"));
    }
    for (int e = 0; e < static_cast<int>(lists.events.size()); ++e)
        lists.events[e][1] = lists.events[e][2] = first.addDays(4 + e).toString(QStringLiteral("M/d/yyyy"));
    return lists;
}

void BM_ScaledChart(benchmark::State &state)
{
    const chart::ProjectLists lists = planOver(1000, static_cast<int>(state.range(1)));
    const auto scale = static_cast<chart::CalendarScale>(state.range(0));
    BuilderServices bench;
    NoWindow window;
    PictureTaker preview;
    const QByteArray templateBytes = chart::loadCustomResource(101);
    chart::ChartBuilder builder(
        {bench.services, lists, window, preview, [&] { return templateBytes; }, [scale] { return scale; }});
    for (auto _ : state)
        builder.PushButton6_Click();
    if (bench.messages.shown != 0)
        state.SkipWithError("the builder reported a failure");
    reportPeakMemory(state);
}
BENCHMARK(BM_ScaledChart)
    ->ArgsProduct({{0, 1, 2}, {6, 15}})
    ->ArgNames({"scale", "months"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The part a week or month chart adds: its template, made for the plan.
void BM_ScaledTemplate(benchmark::State &state)
{
    const auto scale = static_cast<chart::CalendarScale>(state.range(0));
    const chart::CalendarShape shape = chart::calendarFor(scale, 46393, 46393 + 455);
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet::xls::writeXlsFile(chart::buildChartTemplate(shape)));
}
BENCHMARK(BM_ScaledTemplate)->DenseRange(1, 2)->ArgName("scale")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QGuiApplication>(argc, argv); }
