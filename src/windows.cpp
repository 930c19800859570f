// The program's windows, loaded by the program only when it starts them, so
// that the batch mode never loads the window libraries.
#include "CoreServices.h"
#include "app/qt/QtMessageBoxes.h"
#include "app/qt/QtOpenFileDialog.h"
#include "app/qt/QtProgramExit.h"
#include "app/qt/QtPrintDialog.h"
#include "app/qt/QtSaveFileDialog.h"
#include "app/qt/ShutdownWatch.h"
#include "app/qt/SingleInstance.h"
#include "chart/BatchChart.h"
#include "files/Failure.h"
#include "files/FileName.h"
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "project/Form1.h"
#include "project/LaterStarts.h"
#include "project/ListAutosave.h"

#include <QApplication>
#include <QMessageBox>
#include <QTreeWidget>
#include <cstdio>

namespace {

// The main window as the preview window sees it.
class MainWindowOfPreview : public orv::preview::MainWindowLink {
public:
    explicit MainWindowOfPreview(orv::Form1 &form) : mForm(form) {}
    // Where it was: a window shown again without a position of its own is
    // placed anew by the window manager.
    void showMainWindow() override
    {
        mForm.setGeometry(mForm.geometry());
        mForm.show();
    }
    void saveProjectLists() override { mForm.Form_QueryUnload(); }
    void rebuildChart(orv::chart::CalendarScale scale) override
    {
        mForm.setCalendarScale(scale);
        mForm.PushButton6_Click();
    }

private:
    orv::Form1 &mForm;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int orvantisWindows(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // What the windowing system did not take as its own options (it removes
    // those from argv): a file to open, and nothing else.
    QString commandLineFile;
    for (int i = 1; i < argc; ++i) {
        const QString argument = orv::files::fileNameFromBytes(argv[i]);
        if (argument.startsWith(u'-') || !commandLineFile.isEmpty()) {
            std::fprintf(stderr, "orvantis: Unknown option %s\n%s", qPrintable(argument),
                         qPrintable(orv::chart::batchUsage()));
            return 2;
        }
        commandLineFile = argument;
    }
    orv::SingleInstance instance(orv::defaultSettingsPath());
    try {
        if (instance.handOver(commandLineFile))
            return 0;
        if (!instance.unavailable().isEmpty())
            std::fprintf(stderr, "orvantis: %s\n", qPrintable(instance.unavailable()));
    } catch (const orv::Failure &failure) {
        std::fprintf(stderr, "orvantis: %s\n", qPrintable(failure.description()));
        QMessageBox::warning(nullptr, QStringLiteral("Orvantis"), failure.description());
        return 1;
    }

    CoreServices core;
    orv::QtMessageBoxes messages;
    orv::QtSaveFileDialog saveDialog;
    orv::QtPrintDialog printDialog;
    orv::QtOpenFileDialog openDialog;
    orv::QtProgramExit exit;
    orv::Services &services = core.services;
    services.messages = &messages;
    services.saveDialog = &saveDialog;
    services.printDialog = &printDialog;
    services.openDialog = &openDialog;
    services.exit = &exit;

    orv::Form1 form(services);
    MainWindowOfPreview mainWindow(form);
    orv::preview::LazyPreview preview(services, mainWindow);
    form.setChartPreview(preview);
    // A later start with the same settings file: its file is opened here.
    orv::LaterStarts laterStarts(form, instance);
    form.Form_Load();
    form.show();
    // Only now: a signal during start-up would store lists not yet loaded.
    orv::ShutdownWatch shutdown([&form] { form.Form_QueryUnload(); }, exit);
    orv::ListAutosave autosave({form.ListView1->model(), form.ListView2->model(), form.ListView3->model()},
                               [&form] { form.storeLists(); }, messages);
    // `orvantis FILE`: the plan in FILE replaces the lists.
    if (!commandLineFile.isEmpty())
        form.openPlanFile(commandLineFile);
    return app.exec();
}
