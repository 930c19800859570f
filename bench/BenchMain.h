#pragma once

// The main() of every benchmark program: Qt offscreen, with the application
// object the benchmarks need (QGuiApplication for pictures and fonts,
// QApplication for widgets).

#include <QByteArray>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace orv::bench {

// The process's peak resident memory so far, as the counter "peak_MB".
inline void reportPeakMemory(benchmark::State &state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

template <class Application>
int runBenchmarks(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace orv::bench
