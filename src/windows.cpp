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
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "project/Form1.h"
#include "files/Failure.h"
#include "files/FileName.h"

#include <QApplication>
#include <QMessageBox>
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

private:
    orv::Form1 &mForm;
};

// The windows that are shown come to the front; with none shown (a hidden
// main window while no preview is open), the main window is shown.
void bringToFront(QWidget &mainWindow)
{
    QWidget *front = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Window)
            front = window;
    if (front == nullptr)
        front = &mainWindow;
    front->showNormal();
    front->raise();
    front->activateWindow();
}

} // namespace

extern "C" __attribute__((visibility("default"))) int orvantisWindows(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // What the windowing system did not take as its own options (it removes
    // those from argv): a file to open, and nothing else.
    QString commandLineFile;
    for (int i = 1; i < argc; ++i) {
        const QString argument = orv::sheet::fileNameFromBytes(argv[i]);
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
    } catch (const orv::Failure &failure) {
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
    form.Form_Load();
    form.show();
    // A later start with the same settings file: its file is passed on here.
    instance.onLaterStart([&form](const QString &file) {
        bringToFront(form);
        if (!file.isEmpty())
            form.openPlanFile(file);
    });
    // Only now: a signal during start-up would store lists not yet loaded.
    orv::ShutdownWatch shutdown([&form] { form.Form_QueryUnload(); }, exit);
    // `orvantis FILE`: the plan in FILE replaces the lists.
    if (!commandLineFile.isEmpty())
        form.openPlanFile(commandLineFile);
    return app.exec();
}
