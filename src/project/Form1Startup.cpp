// Start-up and closing of the main window: the stored project comes back
// into the lists and goes out again.
#include "project/Form1.h"

#include "app/AppTitle.h"
#include "app/CursorFile.h"
#include "app/FileExists.h"
#include "app/MessageBoxes.h"
#include "app/ReportingOperation.h"
#include "app/Services.h"
#include "app/StoredList.h"
#include "app/qt/ApplySkin.h"
#include "app/qt/HoverPointer.h"
#include "app/qt/IniSettingsStore.h"
#include "app/qt/ProgramIcon.h"
#include "chart/IsInstalled.h"
#include "project/ListViewItems.h"
#include "files/Failure.h"

#include <QCloseEvent>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTreeWidget>

namespace orv {

namespace {

const QString kLoadLocation = QStringLiteral("in Orvantis2021/08/31.Form1.Form_Load ");
const QString kUnloadLocation = QStringLiteral("in Orvantis2021/08/31.Form1.Form_QueryUnload ");

// The stored tab index: a whole number naming one of the three tabs.
int storedTabIndex(const QString &text, int tabCount)
{
    bool whole = false;
    const int index = text.trimmed().toInt(&whole);
    if (!whole)
        throw Failure(QStringLiteral("Type mismatch"));
    if (index < 0 || index >= tabCount)
        throw Failure(QStringLiteral("Invalid property value"));
    return index;
}

} // namespace

void Form1::Form_Load()
{
    ReportingOperation op(*mServices.messages, kLoadLocation);
    op(100, [&] { ApplySkin(*this, mServices.folders->programFolder(), SkinFramework1); });
    op(104, [&] { setWindowTitle(QLatin1String(kProductTitle)); });
    op.more([&] { setWindowIcon(programIcon()); });
    op.more([&] { SetAppTitle(); });
    op.more([&] { checkSettingsFile(); });
    loadCursor(op);
    op(128, [&] { selectStoredTab(); });
    loadList(op, *ListView1, QStringLiteral("Categories"), 130);
    op(148, [&] { RefillCategoryCombo(); });
    loadList(op, *ListView2, QStringLiteral("Tasks"), 150);
    loadList(op, *ListView3, QStringLiteral("Events"), 168);
    op(186, [&] { UpdateEventAddButton(); });
    op(188, [&] { CheckExcelInstalled(mServices); });
}

void Form1::loadCursor(ReportingOperation &op)
{
    QString path;
    bool present = false;
    op(106, [&] {
        path = QDir(mServices.folders->programFolder()).filePath(QStringLiteral("HAND-M.CUR"));
        present = FileExists(path);
    });
    if (!present)
        return;
    op(108, [&] {
        mHover->setCustomCursor(cursorFromFile(path));
    });
}

// Before anything is written: a settings file whose lists cannot be read
// back is kept aside, and the user learns where.
void Form1::checkSettingsFile()
{
    const QString notice = mServices.settings->checkAtStartUp(knownSettingsKeys(), mServices.clock->now());
    if (!notice.isEmpty())
        mServices.messages->show(notice, QString(), MessageButtons::Ok, MessageIcon::None);
}

// Selecting another tab runs the tab-change reaction here, inside the load,
// so that a failure in it is reported with this line.
void Form1::selectStoredTab()
{
    const QString stored = mServices.settings->read(QStringLiteral("TabSel")).value_or(QStringLiteral("0"));
    int index = 0;
    try {
        index = storedTabIndex(stored, TabControl1->count());
    } catch (const Failure &) {
        // Reported once: the tab on show is stored in its place.
        mServices.settings->write(QStringLiteral("TabSel"), QString::number(TabControl1->currentIndex()));
        throw;
    }
    if (index == TabControl1->currentIndex())
        return;
    {
        const QSignalBlocker quiet(TabControl1);
        TabControl1->setCurrentIndex(index);
    }
    TabControl1_Change();
}

// The nine statements of one list start at firstLine: read and split into
// records, loop over records, split into fields, loop over fields, test for
// field 0, append the item, write a further column, next field, next record.
// The stored list comes split into records and fields at once.
void Form1::loadList(ReportingOperation &op, QTreeWidget &view, const QString &key, int firstLine)
{
    ListRecords records;
    op(firstLine, [&] { records = readStoredList(*mServices.settings, key); });
    for (const QStringList &fields : records) {
        QTreeWidgetItem *item = nullptr;
        for (qsizetype field = 0; field < fields.size(); ++field) {
            if (field == 0) {
                op(firstLine + 10, [&] { item = appendItem(view, fields[0]); });
            } else if (item) {
                op(firstLine + 12, [&] { setColumnText(view, *item, int(field) + 1, fields[field]); });
            }
        }
    }
}

void Form1::Form_QueryUnload()
{
    ReportingOperation op(*mServices.messages, kUnloadLocation);
    const bool categories = saveList(op, *ListView1, QStringLiteral("Categories"), 100, 112);
    const bool tasks = saveList(op, *ListView2, QStringLiteral("Tasks"), 114, 134);
    const bool events = saveList(op, *ListView3, QStringLiteral("Events"), 136, 152);
    if (!categories || !tasks || !events)
        keepListsElsewhere();
}

// The lists the settings file did not take go into a settings file of their
// own in the rescue folder, and the user learns where: nothing typed is
// lost because the settings file cannot be written.
void Form1::keepListsElsewhere()
{
    QString kept;
    try {
        const QString folder = mServices.folders->rescueFolder();
        if (folder.isEmpty())
            throw Failure(QStringLiteral("there is no folder for them"));
        if (!QDir().mkpath(folder))
            throw Failure(QStringLiteral("Cannot make the folder %1").arg(QDir::toNativeSeparators(folder)));
        kept = QDir(folder).filePath(QStringLiteral("Varnholt-unsaved-%1.ini")
                                         .arg(mServices.clock->now().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
        IniSettingsStore rescue(kept);
        writeStoredList(rescue, QStringLiteral("Categories"), listRecords(*ListView1));
        writeStoredList(rescue, QStringLiteral("Tasks"), listRecords(*ListView2));
        writeStoredList(rescue, QStringLiteral("Events"), listRecords(*ListView3));
    } catch (const Failure &failure) {
        mServices.messages->show(QStringLiteral("The lists could not be saved, nor kept anywhere else (%1).")
                                     .arg(failure.description()),
                                 appTitle(), MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    mServices.messages->show(QStringLiteral("The lists could not be saved in the settings file. They are kept in "
                                            "%1, in the same form: put that file in the settings file's place to "
                                            "have them at the next start.")
                                 .arg(QDir::toNativeSeparators(kept)),
                             appTitle(), MessageButtons::Ok, MessageIcon::Exclamation);
}

void Form1::storeLists()
{
    writeStoredList(*mServices.settings, QStringLiteral("Categories"), listRecords(*ListView1));
    writeStoredList(*mServices.settings, QStringLiteral("Tasks"), listRecords(*ListView2));
    writeStoredList(*mServices.settings, QStringLiteral("Events"), listRecords(*ListView3));
}

// Reads the items (the loop, firstLine + 2) and stores them (storeLine),
// encoded on the way. An empty list is stored as the empty text.
bool Form1::saveList(ReportingOperation &op, const QTreeWidget &view, const QString &key, int firstLine,
                     int storeLine)
{
    ListRecords records;
    op(firstLine + 2, [&] { records = listRecords(view); });
    return op(storeLine, [&] { writeStoredList(*mServices.settings, key, records); });
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    event->accept();
    Form_Unload();
}

void Form1::Form_Unload()
{
    mServices.exit->endProgram();
}

} // namespace orv
