#include "app/Services.h"
#include "app/qt/IniSettingsStore.h"
#include "app/qt/QtFolders.h"
#include "app/qt/QtMessageBoxes.h"
#include "app/qt/QtProgramExit.h"
#include "app/qt/QtSaveFileDialog.h"
#include "chart/EngineApplicationFactory.h"
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "project/Form1.h"
#include "sheet/Clock.h"

#include <QApplication>

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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    orv::QtMessageBoxes messages;
    orv::QtSaveFileDialog saveDialog;
    orv::IniSettingsStore settings;
    orv::QtProgramExit exit;
    orv::QtFolders folders;
    orv::SystemClock clock;
    orv::chart::EngineApplicationFactory spreadsheets;
    orv::Services services;
    services.messages = &messages;
    services.saveDialog = &saveDialog;
    services.settings = &settings;
    services.exit = &exit;
    services.folders = &folders;
    services.clock = &clock;
    services.spreadsheets = &spreadsheets;

    orv::Form1 form(services);
    MainWindowOfPreview mainWindow(form);
    orv::preview::LazyPreview preview(services, mainWindow);
    form.Form_Load();
    form.show();
    return app.exec();
}
