#include "app/Conversions.h"

#include <benchmark/benchmark.h>

// The half-to-even conversion runs for every row number the builder computes.
static void BM_ToInt16(benchmark::State &state)
{
    double value = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orv::toInt16(value));
        value = value < 30000 ? value + 1.0 : 0.5;
    }
}
BENCHMARK(BM_ToInt16);

BENCHMARK_MAIN();
