#include "app/Services.h"
#include "app/qt/IniSettingsStore.h"
#include "app/qt/QtFolders.h"
#include "app/qt/QtMessageBoxes.h"
#include "app/qt/QtOpenFileDialog.h"
#include "app/qt/QtProgramExit.h"
#include "app/qt/QtSaveFileDialog.h"
#include "app/qt/ShutdownWatch.h"
#include "chart/BatchChart.h"
#include "chart/EngineApplicationFactory.h"
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "project/Form1.h"
#include "sheet/Clock.h"
#include "sheet/Failure.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

// The main window as the preview window sees it.
class MainWindowOfPreview : public orv::preview::MainWindowLink {
public:
    explicit MainWindowOfPreview(orv::Form1 &form) : mForm(form) {}
    void showMainWindow() override { mForm.show(); }
    void saveProjectLists() override { mForm.Form_QueryUnload(); }

private:
    orv::Form1 &mForm;
};

// The services that need no window: the settings file, the folders, the
// clock and the spreadsheet engine.
struct CoreServices {
    CoreServices()
    {
        services.settings = &settings;
        services.folders = &folders;
        services.clock = &clock;
        services.spreadsheets = &spreadsheets;
    }

    orv::IniSettingsStore settings;
    orv::QtFolders folders;
    orv::SystemClock clock;
    orv::chart::EngineApplicationFactory spreadsheets{clock};
    orv::Services services;
};

// Builds the chart of the saved project without any window.
int runBatch(int argc, char *argv[], const orv::chart::BatchOptions &options)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    CoreServices core;
    QTextStream errors(stderr);
    return orv::chart::runBatchChart(options, core.services, errors);
}

// `orvantis FILE`: the windows, with the plan in FILE in the lists.
QString planFileArgument(const QStringList &arguments)
{
    return arguments.size() == 2 && !arguments[1].startsWith(u'-') ? arguments[1] : QString();
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString planFile = planFileArgument(arguments);
    try {
        if (const auto batch = planFile.isEmpty() ? orv::chart::parseBatchOptions(arguments) : std::nullopt) {
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

    QApplication app(argc, argv);

    CoreServices core;
    orv::QtMessageBoxes messages;
    orv::QtSaveFileDialog saveDialog;
    orv::QtOpenFileDialog openDialog;
    orv::QtProgramExit exit;
    orv::Services &services = core.services;
    services.messages = &messages;
    services.saveDialog = &saveDialog;
    services.openDialog = &openDialog;
    services.exit = &exit;

    orv::Form1 form(services);
    MainWindowOfPreview mainWindow(form);
    orv::preview::LazyPreview preview(services, mainWindow);
    form.setChartPreview(preview);
    form.Form_Load();
    form.show();
    // Only now: a signal during start-up would store lists not yet loaded.
    orv::ShutdownWatch shutdown([&form] { form.Form_QueryUnload(); }, exit);
    if (!planFile.isEmpty())
        form.openPlanFile(planFile);
    return app.exec();
}
