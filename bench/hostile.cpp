// Refusing workbooks that state far more than they hold: each must be read
// or refused in well under a second (the tests hold them to one second of
// CPU time and 200 MB), whatever it states.
#include "../tests/sheet/HostileStreams.h"
#include "files/Failure.h"
#include "sheet/xls/XlsReader.h"

#include <benchmark/benchmark.h>

using namespace orv::sheet::xls;

namespace {

// The limits a plan file is read with.
const XlsReadLimits kPlanLimits{.columns = 6, .cells = 500'000};

void readOrRefuse(benchmark::State &state, const QByteArray &stream)
{
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(readWorkbookStream(stream, kPlanLimits).sheetCount());
        } catch (const orv::Failure &) {
        }
    }
}

void BM_EightThousandEntriesOfOneSheet(benchmark::State &state)
{
    readOrRefuse(state, hostile::workbookStream(8000, 1, "Plan", 200, 250));
}
BENCHMARK(BM_EightThousandEntriesOfOneSheet)->Unit(benchmark::kMillisecond);

void BM_TwoHundredFiftySheetsOfOneName(benchmark::State &state)
{
    readOrRefuse(state, hostile::workbookStream(250, 250, "Plan", 1, 1));
}
BENCHMARK(BM_TwoHundredFiftySheetsOfOneName)->Unit(benchmark::kMillisecond);

void BM_MoreCellsThanAPlanHolds(benchmark::State &state)
{
    readOrRefuse(state, hostile::workbookStream(3, 3, "Plan", 65536, 6));
}
BENCHMARK(BM_MoreCellsThanAPlanHolds)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
