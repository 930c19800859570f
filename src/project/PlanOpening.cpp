#include "project/PlanOpening.h"

#include "app/AppTitle.h"
#include "app/MessageBoxes.h"
#include "app/Services.h"
#include "chart/PlanFile.h"
#include "project/Form1.h"
#include "project/ListHistory.h"
#include "project/ListNote.h"
#include "project/ListViewItems.h"
#include "files/Failure.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QTreeWidget>
#include <array>

namespace orv {

namespace {

const QString kOpenFilter = QStringLiteral("Charts and task lists (*.xls *.xlsx *.csv *.tsv *.txt)|"
                                           "*.xls;*.xlsx;*.csv;*.tsv;*.txt|All files (*)|*|");

// The one local file of a drag, or an empty text.
QString droppedFile(const QMimeData *data)
{
    if (!data || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

ListRecords records(const std::vector<QStringList> &items)
{
    return ListRecords(items.begin(), items.end());
}

int totalItems(const Form1 &form)
{
    return itemCount(*form.ListView1) + itemCount(*form.ListView2) + itemCount(*form.ListView3);
}

} // namespace

PlanOpening::PlanOpening(Form1 &form, ListHistory &history, ListNote &note)
    : QObject(&form), mForm(form), mHistory(history), mNote(note)
{
    form.setAcceptDrops(true);
    form.installEventFilter(this);
}

void PlanOpening::openChosenFile()
{
    const QString path = mForm.services().openDialog->askOpenPath(QStringLiteral("Open"), kOpenFilter);
    if (!path.isEmpty())
        open(path);
}

void PlanOpening::open(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    chart::PlanFromFile plan;
    try {
        plan = chart::readPlanFile(path);
    } catch (const Failure &failure) {
        mForm.services().messages->show(failure.description(), appTitle(), MessageButtons::Ok,
                                        MessageIcon::Exclamation);
        return;
    }
    if (!askToReplace(name))
        return;
    const std::array<std::pair<QTreeWidget *, ListRecords>, 3> lists{
        std::pair{mForm.ListView1, records(plan.lists.categories)},
        std::pair{mForm.ListView2, records(plan.lists.tasks)}, std::pair{mForm.ListView3, records(plan.lists.events)}};
    mHistory.record(QStringLiteral("%1 opened").arg(name), [&] {
        for (const auto &[view, items] : lists) {
            removeItems(*view, 1, itemCount(*view));
            insertItems(*view, 1, items);
        }
    });
    mForm.RefillCategoryCombo();
    mForm.UpdateEventAddButton();
    // The next chart keeps the opened chart's calendar scale.
    if (plan.scale)
        mForm.setCalendarScale(*plan.scale);
    mForm.listsReplaced();
    QStringList note{QStringLiteral("%1 opened: %2, %3, %4.")
                         .arg(name, countedItems(ListKind::Categories, itemCount(*mForm.ListView1)),
                              countedItems(ListKind::Tasks, itemCount(*mForm.ListView2)),
                              countedItems(ListKind::Events, itemCount(*mForm.ListView3)))};
    note << plan.notes;
    mNote.show(note.join(u' '));
}

bool PlanOpening::askToReplace(const QString &name)
{
    if (totalItems(mForm) == 0)
        return true;
    const QString question =
        QStringLiteral("Replace the categories, tasks and special events in the lists with the plan in \"%1\"?\n"
                       "Ctrl+Z brings the present lists back.")
            .arg(name);
    return mForm.services().messages->show(question, appTitle(), MessageButtons::YesNo,
                                           MessageIcon::Exclamation) == MessageAnswer::Yes;
}

// A file dropped on the window, a list or a frame; the entry fields take
// what is dropped on them as text.
bool PlanOpening::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &mForm)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto &drag = static_cast<QDropEvent &>(*event);
        if (droppedFile(drag.mimeData()).isEmpty())
            return false;
        drag.acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto &drop = static_cast<QDropEvent &>(*event);
        const QString path = droppedFile(drop.mimeData());
        if (path.isEmpty())
            return false;
        drop.acceptProposedAction();
        // Not inside the drop: a question box there would hold up the
        // program the file came from.
        QTimer::singleShot(0, this, [this, path] { open(path); });
        return true;
    }
    default:
        return false;
    }
}

} // namespace orv
