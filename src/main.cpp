#include "CoreServices.h"
#include "chart/BatchChart.h"
#include "files/Failure.h"
#include "files/FileName.h"

#include <QGuiApplication>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>

namespace {

// Builds the chart of the saved project without any window.
int runBatch(int argc, char *argv[], const orv::chart::BatchOptions &options)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    CoreServices core;
    QTextStream errors(stderr);
    return orv::chart::runBatchChart(options, core.services, errors);
}

// The windows live in a module below the program's folder, loaded only here: a short
// batch run would spend a good part of its start loading the window
// libraries.
int runWindows(int argc, char *argv[])
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    // Never a module found from the working folder.
    if (error || !program.is_absolute()) {
        std::fprintf(stderr, "orvantis: the windows cannot be started: the program's own path cannot be read\n");
        return 1;
    }
    const std::string module = (program.parent_path() / "modules" / "orvantis-windows.so").string();
    void *windows = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto start = windows ? reinterpret_cast<int (*)(int, char **)>(::dlsym(windows, "orvantisWindows")) : nullptr;
    if (!start) {
        std::fprintf(stderr, "orvantis: the windows cannot be started: %s\n", ::dlerror());
        return 1;
    }
    return start(argc, argv);
}

} // namespace

int main(int argc, char *argv[])
{
    // A write past the file-size limit fails with "File too large" and is
    // reported like any other failed write, instead of ending the program
    // without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << orv::files::fileNameFromBytes(argv[i]);
    try {
        if (const auto batch = orv::chart::parseBatchOptions(arguments)) {
            if (batch->help) {
                std::fputs(qPrintable(orv::chart::batchUsage()), stdout);
                return 0;
            }
            return runBatch(argc, argv, *batch);
        }
    } catch (const orv::Failure &failure) {
        std::fprintf(stderr, "orvantis: %s\n%s", qPrintable(failure.description()),
                     qPrintable(orv::chart::batchUsage()));
        return 2;
    }
    return runWindows(argc, argv);
}
