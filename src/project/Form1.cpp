// The editing handlers of the main window and its pointer.
#include "project/Form1.h"

#include "app/ReportingOperation.h"
#include "app/Services.h"
#include "app/qt/HoverPointer.h"
#include "help/HelpMessage.h"
#include "project/ListEdits.h"
#include "project/ListHistory.h"
#include "project/ListNote.h"
#include "project/ListViewItems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <exception>

namespace orv {

namespace {

QString location(const char *operation)
{
    return QStringLiteral("in Orvantis2021/08/31.Form1.%1 ").arg(QLatin1String(operation));
}

QString subTaskMark(const QCheckBox &check)
{
    return check.isChecked() ? QStringLiteral("V") : QString();
}

} // namespace

void Form1::PushButton1_Click()
{
    ReportingOperation op(*mServices.messages, location("PushButton1_Click"));
    op(100, [&] { appendItem(*ListView1, txtCat->text()); });
    op(102, [&] { txtCat->clear(); });
}

void Form1::PushButton2_Click()
{
    ReportingOperation op(*mServices.messages, location("PushButton2_Click"));
    deleteSelected(op, *ListView1);
}

void Form1::PushButton3_Click()
{
    ReportingOperation op(*mServices.messages, location("PushButton3_Click"));
    QTreeWidgetItem *item = nullptr;
    op(100, [&] { item = appendItem(*ListView2, txtTask->text()); });
    const auto column = [&](int line, int number, const QString &text) {
        op(line, [&] {
            if (item)
                setColumnText(*ListView2, *item, number, text);
        });
    };
    column(102, 2, txtProc->text());
    column(104, 3, txtStart->text());
    column(106, 4, TxtEnd->text());
    column(108, 5, Combo1->currentText());
    column(110, 6, subTaskMark(*Check1));
    op(112, [&] { txtTask->clear(); });
    op(114, [&] { txtProc->clear(); });
    op(116, [&] { txtStart->clear(); });
    op(118, [&] { TxtEnd->clear(); });
    // The "Sub Task" mark stays, as the category does, for the next task of
    // the same kind.
}

void Form1::PushButton4_Click()
{
    ReportingOperation op(*mServices.messages, location("PushButton4_Click"));
    deleteSelected(op, *ListView2);
}

void Form1::PushButton5_Click()
{
    ReportingOperation op(*mServices.messages, location("PushButton5_Click"));
    QTreeWidgetItem *item = nullptr;
    op(100, [&] { item = appendItem(*ListView3, TxtEvent->text()); });
    op(102, [&] {
        if (item)
            setColumnText(*ListView3, *item, 2, txtEvStart->text());
    });
    op(104, [&] {
        if (item)
            setColumnText(*ListView3, *item, 3, txtEvEnd->text());
    });
    op(106, [&] { TxtEvent->clear(); });
    op(108, [&] { txtEvStart->clear(); });
    op(110, [&] { txtEvEnd->clear(); });
    op(112, [&] { UpdateEventAddButton(); });
}

void Form1::PushButton7_Click()
{
    ReportingOperation op(*mServices.messages, location("PushButton7_Click"));
    deleteSelected(op, *ListView3);
    op(104, [&] { UpdateEventAddButton(); });
}

void Form1::PushButton8_Click()
{
    ReportingOperation op(*mServices.messages, location("PushButton8_Click"));
    op(100, [&] { showHelpMessage(*mServices.messages); });
}

// Removes every selected item, as one step. Deleting categories notes how
// many tasks are left without one.
void Form1::deleteSelected(ReportingOperation &op, QTreeWidget &view)
{
    QList<int> selected;
    op(100, [&] { selected = itemCount(view) == 0 ? QList<int>() : selectedPositions(view); });
    if (selected.isEmpty())
        return;
    if (&view == ListView1) {
        const ProjectLists lists{listRecords(*ListView1), listRecords(*ListView2), {}};
        mNote->show(deleteNote(tasksLeftWithoutCategories(lists, selected)));
    }
    const ListKind list = &view == ListView1 ? ListKind::Categories
                          : &view == ListView2 ? ListKind::Tasks
                                               : ListKind::Events;
    mHistory->record(QStringLiteral("%1 deleted").arg(countedItems(list, int(selected.size()))),
                     [&] { op(102, [&] { removeItems(view, selected); }); });
}

// Stores the tab at once, so that the next start opens on it even when the
// window is never closed in the regular way. The category box and the events
// "Add" are refreshed also when the store fails; the failure goes on to the
// caller after that.
void Form1::TabControl1_Change()
{
    std::exception_ptr storeFailure;
    try {
        mServices.settings->write(QStringLiteral("TabSel"), QString::number(TabControl1->currentIndex()));
    } catch (...) {
        storeFailure = std::current_exception();
    }
    RefillCategoryCombo();
    UpdateEventAddButton();
    if (storeFailure)
        std::rethrow_exception(storeFailure);
}

void Form1::RefillCategoryCombo()
{
    Combo1->clear();
    for (int position = 1; position <= itemCount(*ListView1); ++position)
        Combo1->addItem(itemText(*ListView1, position, 1));
    Combo1->setCurrentIndex(-1);
    Combo1->clearEditText();
}

void Form1::UpdateEventAddButton()
{
    PushButton5->setEnabled(itemCount(*ListView3) < 5);
}

PointerSetting Form1::pointer() const
{
    return mHover->pointer();
}

void Form1::setPointer(PointerSetting pointer)
{
    mHover->setPointer(pointer);
}

} // namespace orv
