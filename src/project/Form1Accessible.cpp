// What a screen reader announces for each of the main window's controls.
#include "project/Form1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace orv {

namespace {

void announce(QWidget &control, const QString &name, const QString &description)
{
    control.setAccessibleName(name);
    control.setAccessibleDescription(description);
}

// A list is announced with its columns, in their order.
void announceList(QTreeWidget &list, const QString &name)
{
    QStringList columns;
    for (int i = 0; i < list.columnCount(); ++i)
        columns << list.headerItem()->text(i);
    announce(list, name,
             QStringLiteral("List of %1, columns: %2. Delete removes the selected rows; a double click edits a field.")
                 .arg(name.toLower(), columns.join(QStringLiteral(", "))));
}

} // namespace

void Form1::announceControls()
{
    announce(*PushButton6, PushButton6->text(), PushButton6->toolTip());
    announce(*cboScale, QStringLiteral("Scale"),
             QStringLiteral("The time one column of the chart's calendar stands for: a day, a week or a month"));
    announce(*PushButton8, PushButton8->text(), QStringLiteral("Whom to contact about the program"));
    announce(*PushButton9, PushButton9->text(), QStringLiteral("Replaces the lists with a small sample project"));
    announce(*TabControl1, QStringLiteral("Project lists"), QStringLiteral("Categories, tasks and special events"));
    announce(*TabControl1->tabBar(), QStringLiteral("Lists"), QStringLiteral("Choose the list to edit"));
    TabControl1->setTabToolTip(0, QStringLiteral("The categories that group the tasks"));
    TabControl1->setTabToolTip(1, QStringLiteral("The tasks, each with its dates, progress and category"));
    TabControl1->setTabToolTip(2, QStringLiteral("Up to five special events shown across the calendar"));
    announce(*Frame2, QStringLiteral("Categories"), QStringLiteral("Enter and delete categories"));
    announce(*Frame5, QStringLiteral("Tasks"), QStringLiteral("Enter and delete tasks"));
    announce(*Frame1, QStringLiteral("Special Events"), QStringLiteral("Enter and delete up to five special events"));
    const QString addsOnReturn = QStringLiteral("Return adds the %1");
    announce(*txtCat, QStringLiteral("Category"), addsOnReturn.arg(QStringLiteral("category")));
    announce(*txtTask, QStringLiteral("Task"), addsOnReturn.arg(QStringLiteral("task")));
    announce(*txtProc, QStringLiteral("% Completed"), QStringLiteral("Percentage of the task completed"));
    announce(*Combo1, QStringLiteral("Category of the task"), QStringLiteral("Choose a category or type one"));
    announce(*Combo1->lineEdit(), QStringLiteral("Category of the task"), addsOnReturn.arg(QStringLiteral("task")));
    announce(*txtStart, QStringLiteral("Task start"), QStringLiteral("Start date of the task"));
    announce(*TxtEnd, QStringLiteral("Task end"), QStringLiteral("End date of the task"));
    announce(*Check1, Check1->text(), QStringLiteral("Marks the task as a sub-task; the mark stays for the next task"));
    announce(*TxtEvent, QStringLiteral("Event"), addsOnReturn.arg(QStringLiteral("special event")));
    announce(*txtEvStart, QStringLiteral("Event start"), QStringLiteral("Start date of the special event"));
    announce(*txtEvEnd, QStringLiteral("Event end"), QStringLiteral("End date of the special event"));
    const QList<std::pair<QPushButton *, QString>> addAndDelete{
        {PushButton1, QStringLiteral("category")}, {PushButton2, QStringLiteral("category")},
        {PushButton3, QStringLiteral("task")},     {PushButton4, QStringLiteral("task")},
        {PushButton5, QStringLiteral("special event")}, {PushButton7, QStringLiteral("special event")}};
    for (const auto &[button, what] : addAndDelete) {
        const bool adds = button->text() == QStringLiteral("Add");
        announce(*button, QStringLiteral("%1 %2").arg(button->text(), what),
                 adds ? QStringLiteral("Adds the %1 entered above (Return)").arg(what)
                      : QStringLiteral("Deletes the selected %1 (Delete)").arg(what));
    }
    announceList(*ListView1, QStringLiteral("Categories"));
    announceList(*ListView2, QStringLiteral("Tasks"));
    announceList(*ListView3, QStringLiteral("Special events"));
}

} // namespace orv
