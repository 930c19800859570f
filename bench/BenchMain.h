#pragma once

// The main() of every benchmark program: Qt offscreen, with the application
// object the benchmarks need (QGuiApplication for pictures and fonts,
// QApplication for widgets).

#include <QByteArray>
#include <benchmark/benchmark.h>

namespace orv::bench {

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
