#include "project/ListEditing.h"

#include "project/CategoryNames.h"
#include "app/EntryHints.h"
#include "project/Form1.h"
#include "project/ListCellDelegate.h"
#include "project/ListEdits.h"
#include "project/ListHistory.h"
#include "project/ListNote.h"
#include "project/ListViewItems.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTreeWidget>

namespace orv {

namespace {

ProjectLists readLists(const Form1 &form)
{
    return {listRecords(*form.ListView1), listRecords(*form.ListView2), listRecords(*form.ListView3)};
}

// Writes `records` back into the items of `view`, which holds as many;
// only texts that differ are touched.
void writeTexts(QTreeWidget &view, const ListRecords &records)
{
    for (int i = 0; i < records.size() && i < view.topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = view.topLevelItem(i);
        for (int column = 0; column < records[i].size() && column < view.columnCount(); ++column)
            if (item->text(column) != records[i][column])
                item->setText(column, records[i][column]);
    }
}

// Keys that an open cell editor leaves unused travel on to the view; they
// are the editor's, not the list's.
bool editing(const QTreeWidget &view)
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && view.viewport()->isAncestorOf(focus);
}

void select(QTreeWidget &view, int position, int column)
{
    QTreeWidgetItem *item = view.topLevelItem(position - 1);
    view.setCurrentItem(item, column);
    view.scrollToItem(item);
}

ListKind listKind(const Form1 &form, const QTreeWidget &view)
{
    if (&view == form.ListView1)
        return ListKind::Categories;
    return &view == form.ListView2 ? ListKind::Tasks : ListKind::Events;
}

ListCellDelegate::Columns columnsOf(const Form1 &form, const QTreeWidget &view)
{
    if (&view == form.ListView2)
        return {{3, 4}, kTaskCategoryColumn, kSubTaskColumn};
    if (&view == form.ListView3)
        return {{2, 3}, 0, 0};
    return {};
}

} // namespace

ListEditing::ListEditing(Form1 &form, ListHistory &history, ListNote &note,
                         std::array<std::function<void()>, 3> deleteSelected)
    : QObject(&form), mForm(form), mHistory(history), mNote(note), mCategories(new CategoryNames(*form.ListView1))
{
    watchList(*form.ListView1, std::move(deleteSelected[0]));
    watchList(*form.ListView2, std::move(deleteSelected[1]));
    watchList(*form.ListView3, std::move(deleteSelected[2]));
    followCategories();
    for (QLineEdit *field : {form.txtStart, form.TxtEnd, form.txtEvStart, form.txtEvEnd})
        connect(field, &QLineEdit::textChanged, this,
                [field](const QString &text) { markField(*field, text.isEmpty() ? QString() : dateHint(text)); });
    connect(form.Combo1, &QComboBox::editTextChanged, this, [this](const QString &text) {
        markField(*mForm.Combo1, text.isEmpty() ? QString() : categoryHint(text, mCategories->all()));
    });
}

void ListEditing::watchList(QTreeWidget &view, std::function<void()> deleteSelected)
{
    view.setItemDelegate(new ListCellDelegate(
        columnsOf(mForm, view), *mCategories,
        [this, &view](int position, int column, const QString &text) { commit(view, position, column, text); },
        &view));
    view.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view.installEventFilter(this);
    view.viewport()->installEventFilter(this);
    mLists.append({&view, std::move(deleteSelected)});
}

// The task list's category checks follow the categories list. The note
// about a category change goes when a category is added.
void ListEditing::followCategories()
{
    QAbstractItemModel *categories = mForm.ListView1->model();
    const auto repaintTasks = [this] { mForm.ListView2->viewport()->update(); };
    connect(categories, &QAbstractItemModel::dataChanged, this, repaintTasks);
    connect(categories, &QAbstractItemModel::rowsRemoved, this, repaintTasks);
    connect(categories, &QAbstractItemModel::rowsInserted, this, [this, repaintTasks] {
        mNote.clear();
        repaintTasks();
    });
}

void ListEditing::commit(QTreeWidget &view, int position, int column, const QString &text)
{
    QTreeWidgetItem *item = view.topLevelItem(position - 1);
    if (!item)
        return;
    if (&view != mForm.ListView1) {
        mHistory.record(QStringLiteral("%1 edited").arg(itemNoun(listKind(mForm, view))),
                        [&] { setColumnText(view, *item, column, text); });
        return;
    }
    ProjectLists lists = readLists(mForm);
    const int moved = renameCategory(lists, position, text);
    mHistory.record(QStringLiteral("category renamed"), [&] {
        writeTexts(*mForm.ListView1, lists.categories);
        writeTexts(*mForm.ListView2, lists.tasks);
    });
    mNote.show(renameNote(moved, text));
}

void ListEditing::moveSelected(QTreeWidget &view, int to)
{
    const int from = selectedPosition(view);
    if (from != 0 && to >= 1 && to <= itemCount(view) && to != from)
        moveWithin(view, from, to);
}

void ListEditing::moveWithin(QTreeWidget &view, int from, int to)
{
    const int column = std::max(0, view.currentColumn());
    ListRecords records = listRecords(view);
    orv::moveItem(records, from, to);
    mHistory.record(QStringLiteral("%1 moved").arg(itemNoun(listKind(mForm, view))),
                    [&] { writeTexts(view, records); });
    select(view, to, column);
}

bool ListEditing::eventFilter(QObject *watched, QEvent *event)
{
    for (const auto &[view, deleteSelected] : mLists) {
        if (watched == view && event->type() == QEvent::KeyPress && !editing(*view)) {
            const auto &key = static_cast<const QKeyEvent &>(*event);
            if (key.key() == Qt::Key_Delete && key.modifiers() == Qt::NoModifier) {
                deleteSelected();
                return true;
            }
            return keyPressed(*view, key);
        }
        if (watched == view->viewport())
            switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseMove:
            case QEvent::MouseButtonRelease:
                return mouseOnList(*view, static_cast<const QMouseEvent &>(*event));
            default:
                return false;
            }
    }
    return QObject::eventFilter(watched, event);
}

namespace {

// Left and Right step from cell to cell of the current row, so that F2
// reaches every column from the keyboard; the view would only scroll.
bool stepColumn(QTreeWidget &view, int step)
{
    const QModelIndex current = view.currentIndex();
    if (!current.isValid())
        return false;
    const QModelIndex next = current.siblingAtColumn(current.column() + step);
    if (next.isValid()) {
        view.setCurrentIndex(next);
        view.scrollTo(next);
    }
    return true;
}

} // namespace

bool ListEditing::keyPressed(QTreeWidget &view, const QKeyEvent &key)
{
    if (key.modifiers() == Qt::NoModifier && (key.key() == Qt::Key_Left || key.key() == Qt::Key_Right))
        return stepColumn(view, key.key() == Qt::Key_Right ? 1 : -1);
    if (key.modifiers() != Qt::AltModifier)
        return false;
    const int selected = selectedPosition(view);
    switch (key.key()) {
    case Qt::Key_Up:
        moveSelected(view, selected - 1);
        return true;
    case Qt::Key_Down:
        moveSelected(view, selected + 1);
        return true;
    case Qt::Key_Home:
        moveSelected(view, 1);
        return true;
    case Qt::Key_End:
        moveSelected(view, itemCount(view));
        return true;
    default:
        return false;
    }
}

// Dragging an item with the left button moves it along as the pointer passes
// over the other rows. The view sees the press (which selects the item) and
// the release, but not the moves in between, so that it does not drag a
// selection along.
bool ListEditing::mouseOnList(QTreeWidget &view, const QMouseEvent &mouse)
{
    const QPoint at = mouse.position().toPoint();
    switch (mouse.type()) {
    case QEvent::MouseButtonPress: {
        // Shift and Ctrl with the press extend the selection; they drag
        // nothing.
        const QModelIndex pressed = view.indexAt(at);
        const bool plain = mouse.button() == Qt::LeftButton && mouse.modifiers() == Qt::NoModifier;
        mDragged = plain && pressed.isValid() ? pressed.row() + 1 : 0;
        mDragging = false;
        mPressedAt = at;
        return false;
    }
    case QEvent::MouseMove: {
        if (mDragged == 0 || !(mouse.buttons() & Qt::LeftButton))
            return false;
        if (!mDragging && (at - mPressedAt).manhattanLength() < QApplication::startDragDistance())
            return true;
        if (!mDragging) {
            // The whole drag is one step, however many rows it passes.
            mHistory.begin(QStringLiteral("%1 moved").arg(itemNoun(listKind(mForm, view))));
            mDragging = true;
        }
        const int to = dropPosition(view, at);
        if (to != mDragged) {
            moveWithin(view, mDragged, to);
            mDragged = to;
        }
        return true;
    }
    default:
        if (mDragging)
            mHistory.end();
        mDragged = 0;
        mDragging = false;
        return false;
    }
}

// The row under the pointer; past the top or bottom edge of the view one
// row further each time the pointer moves, so that the list scrolls along;
// below the last item its end.
int ListEditing::dropPosition(const QTreeWidget &view, QPoint at) const
{
    if (at.y() < 0)
        return std::max(1, mDragged - 1);
    if (at.y() >= view.viewport()->height())
        return std::min(itemCount(view), mDragged + 1);
    const QModelIndex over = view.indexAt(at);
    return over.isValid() ? over.row() + 1 : itemCount(view);
}

} // namespace orv
