// "Load Sample/Example Data": a small example project, entered through the
// fields of the three tabs, which keep the sample's texts afterwards.
#include "project/Form1.h"

#include "app/ReportingOperation.h"
#include "app/Services.h"
#include "app/ShortDate.h"
#include "project/ListViewItems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

namespace orv {

namespace {

QString date(int year, int month, int day)
{
    return shortDateText(QDate(year, month, day));
}

} // namespace

void Form1::PushButton9_Click()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form1.PushButton9_Click "));
    // Appends the task in the fields, from `line` on (six statements).
    const auto appendTask = [&](int line) {
        QTreeWidgetItem *item = nullptr;
        op(line, [&] { item = appendItem(*ListView2, txtTask->text()); });
        const QStringList columns{txtProc->text(), txtStart->text(), TxtEnd->text(), Combo1->currentText(),
                                  Check1->isChecked() ? QStringLiteral("V") : QString()};
        for (int i = 0; i < columns.size(); ++i) {
            op(line + 2 + 2 * i, [&] {
                if (item)
                    setColumnText(*ListView2, *item, i + 2, columns[i]);
            });
        }
    };

    op(100, [&] { txtCat->setText(QStringLiteral("Research")); });
    op(102, [&] { appendItem(*ListView1, txtCat->text()); });
    op(104, [&] { txtTask->setText(QStringLiteral("Initial researching")); });
    op(106, [&] { txtProc->setText(QStringLiteral("80")); });
    op(108, [&] { txtStart->setText(date(2016, 8, 11)); });
    op(110, [&] { TxtEnd->setText(date(2016, 8, 24)); });
    op(112, [&] { Combo1->setEditText(QStringLiteral("Research")); });
    op(114, [&] { Check1->setChecked(false); });
    appendTask(116);

    op(128, [&] { txtCat->setText(QStringLiteral("Development")); });
    op(130, [&] { appendItem(*ListView1, txtCat->text()); });
    op(132, [&] { txtTask->setText(QStringLiteral("Draft project")); });
    op(134, [&] { txtProc->setText(QStringLiteral("10")); });
    op(136, [&] { txtStart->setText(date(2016, 8, 23)); });
    op(138, [&] { TxtEnd->setText(date(2016, 11, 24)); });
    op(140, [&] { Combo1->setEditText(QStringLiteral("Development")); });
    op(142, [&] { Check1->setChecked(false); });
    appendTask(144);

    op(156, [&] { TxtEvent->setText(QStringLiteral("General meeting")); });
    op(158, [&] { txtEvStart->setText(date(2016, 8, 12)); });
    op(160, [&] { txtEvEnd->setText(date(2016, 8, 12)); });
    QTreeWidgetItem *event = nullptr;
    op(162, [&] { event = appendItem(*ListView3, TxtEvent->text()); });
    op(164, [&] {
        if (event)
            setColumnText(*ListView3, *event, 2, txtEvStart->text());
    });
    op(166, [&] {
        if (event)
            setColumnText(*ListView3, *event, 3, txtEvEnd->text());
    });
    op(168, [&] { UpdateEventAddButton(); });
}

} // namespace orv
