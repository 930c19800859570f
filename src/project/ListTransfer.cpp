#include "project/ListTransfer.h"

#include "project/Form1.h"
#include "project/ClipboardCells.h"
#include "project/ListHistory.h"
#include "project/ListNote.h"
#include "project/ListViewItems.h"
#include "project/PastePlan.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeWidget>

namespace orv {

namespace {

QSet<QString> categoryNames(const Form1 &form)
{
    QSet<QString> names;
    for (const QStringList &category : listRecords(*form.ListView1))
        names.insert(category.value(0));
    return names;
}

ListKind kindOf(const Form1 &form, const QTreeWidget &view)
{
    if (&view == form.ListView1)
        return ListKind::Categories;
    return &view == form.ListView2 ? ListKind::Tasks : ListKind::Events;
}

} // namespace

ListTransfer::ListTransfer(Form1 &form, ListHistory &history, ListNote &note, std::function<void()> open)
    : QObject(&form), mForm(form), mHistory(history), mNote(note), mOpen(std::move(open))
{
    for (QTreeWidget *view : {form.ListView1, form.ListView2, form.ListView3}) {
        view->installEventFilter(this);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](QPoint at) { showMenu(*view, view->viewport()->mapToGlobal(at)); });
    }
}

void ListTransfer::copy(const QTreeWidget &view)
{
    const QList<int> selected = selectedPositions(view);
    if (selected.isEmpty()) {
        mNote.show(QStringLiteral("Select the items to copy first (Ctrl+A selects all)"));
        return;
    }
    const ListKind kind = kindOf(mForm, view);
    ListRecords rows{listCaptions(kind)};
    for (int position : selected)
        rows << guardedCells(listRecords(view, position, 1));
    QApplication::clipboard()->setText(delimitedText(rows, u'\t'));
    mNote.show(QStringLiteral("%1 copied").arg(countedItems(kind, int(selected.size()))));
}

// The pasted items come after the last selected one, or at the end, and
// are selected afterwards, so that the next paste follows them.
void ListTransfer::paste(QTreeWidget &view, const QString &text)
{
    const ListKind kind = kindOf(mForm, view);
    const int count = itemCount(view);
    PastePlan plan = planPaste(text, kind, pasteRoom(kind, count));
    plan.added = unguardedCells(plan.added);
    const QList<int> selected = selectedPositions(view);
    const int position = selected.isEmpty() ? count + 1 : selected.last() + 1;
    const QSet<QString> known = categoryNames(mForm);
    ListRecords newCategories;
    for (const QString &category : plan.categories)
        if (!known.contains(category))
            newCategories << QStringList{category};
    newCategories = newCategories.mid(0, pasteRoom(ListKind::Categories, itemCount(*mForm.ListView1)));
    if (!plan.added.isEmpty() || !newCategories.isEmpty()) {
        mHistory.record(QStringLiteral("%1 pasted").arg(countedItems(kind, int(plan.added.size()))), [&] {
            insertItems(*mForm.ListView1, itemCount(*mForm.ListView1) + 1, newCategories);
            insertItems(view, position, plan.added);
        });
        selectItems(view, position, int(plan.added.size()));
    }
    mForm.UpdateEventAddButton();
    mNote.show(pasteNote(plan, kind, categoryNames(mForm)));
}

void ListTransfer::showMenu(QTreeWidget &view, QPoint at)
{
    QMenu menu;
    QAction *copyAction = menu.addAction(QStringLiteral("Copy"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(!view.selectedItems().isEmpty());
    QAction *pasteAction = menu.addAction(QStringLiteral("Paste"));
    pasteAction->setShortcut(QKeySequence::Paste);
    pasteAction->setEnabled(!QApplication::clipboard()->text().isEmpty());
    menu.addSeparator();
    QAction *openAction = menu.addAction(QStringLiteral("Open..."));
    openAction->setShortcut(QKeySequence::Open);
    QAction *chosen = menu.exec(at);
    if (!chosen)
        return;
    if (chosen == copyAction)
        copy(view);
    else if (chosen == pasteAction)
        paste(view, QApplication::clipboard()->text());
    else if (chosen == openAction)
        mOpen();
}

// Keys that an open cell editor leaves unused are not the list's.
bool ListTransfer::eventFilter(QObject *watched, QEvent *event)
{
    auto *view = qobject_cast<QTreeWidget *>(watched);
    if (!view || event->type() != QEvent::KeyPress)
        return false;
    const QWidget *focus = QApplication::focusWidget();
    if (focus && view->viewport()->isAncestorOf(focus))
        return false;
    const auto &key = static_cast<const QKeyEvent &>(*event);
    if (key.matches(QKeySequence::Copy)) {
        copy(*view);
        return true;
    }
    if (key.matches(QKeySequence::Paste)) {
        paste(*view, QApplication::clipboard()->text());
        return true;
    }
    return false;
}

} // namespace orv
