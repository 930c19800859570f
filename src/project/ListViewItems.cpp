#include "project/ListViewItems.h"

#include "files/Failure.h"

#include <QTreeWidget>
#include <algorithm>

namespace orv {

namespace {

[[noreturn]] void outOfBounds()
{
    throw Failure(QStringLiteral("Index out of bounds"));
}

QTreeWidgetItem *newItem(QStringList fields)
{
    auto *item = new QTreeWidgetItem(std::move(fields));
    item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemNeverHasChildren);
    return item;
}

} // namespace

QTreeWidgetItem *appendItem(QTreeWidget &view, const QString &text)
{
    if (view.topLevelItemCount() >= kMaxListItems)
        throw Failure(QStringLiteral("Overflow"));
    QTreeWidgetItem *item = newItem({text});
    view.addTopLevelItem(item);
    return item;
}

void insertItems(QTreeWidget &view, int position, const ListRecords &records)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(records.size());
    for (const QStringList &record : records)
        items << newItem(record.mid(0, view.columnCount()));
    view.insertTopLevelItems(position - 1, items);
}

void removeItems(QTreeWidget &view, int position, int count)
{
    if (count > 0)
        view.model()->removeRows(position - 1, count);
}

void setColumnText(QTreeWidget &view, QTreeWidgetItem &item, int column, const QString &text)
{
    if (column < 1 || column > view.columnCount())
        outOfBounds();
    item.setText(column - 1, text);
}

int itemCount(const QTreeWidget &view)
{
    return view.topLevelItemCount();
}

QString itemText(const QTreeWidget &view, int position, int column)
{
    if (position < 1 || position > view.topLevelItemCount() || column < 1 || column > view.columnCount())
        outOfBounds();
    return view.topLevelItem(position - 1)->text(column - 1);
}

int selectedPosition(const QTreeWidget &view)
{
    return selectedPositions(view).value(0, 0);
}

void selectItems(QTreeWidget &view, int position, int count)
{
    QAbstractItemModel &model = *view.model();
    const QModelIndex first = model.index(position - 1, 0);
    if (count <= 0 || !first.isValid()) {
        view.clearSelection();
        return;
    }
    const QItemSelection items(first, model.index(position - 2 + count, model.columnCount() - 1));
    view.selectionModel()->select(items, QItemSelectionModel::ClearAndSelect);
    view.selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    view.scrollTo(first);
}

QList<int> selectedPositions(const QTreeWidget &view)
{
    QList<int> positions;
    for (QTreeWidgetItem *item : view.selectedItems())
        positions << view.indexOfTopLevelItem(item) + 1;
    std::sort(positions.begin(), positions.end());
    return positions;
}

void removeItem(QTreeWidget &view, int position)
{
    if (position < 1 || position > view.topLevelItemCount())
        outOfBounds();
    delete view.takeTopLevelItem(position - 1);
    // The view would select the item that moved up into the removed place,
    // and a second delete would remove an item the user never picked.
    view.clearSelection();
    view.setCurrentItem(nullptr);
}

void removeItems(QTreeWidget &view, const QList<int> &positions)
{
    for (qsizetype last = positions.size() - 1; last >= 0;) {
        qsizetype first = last;
        while (first > 0 && positions[first - 1] == positions[first] - 1)
            --first;
        if (positions[first] < 1 || positions[last] > view.topLevelItemCount())
            outOfBounds();
        removeItems(view, positions[first], int(last - first + 1));
        last = first - 1;
    }
    view.clearSelection();
    view.setCurrentItem(nullptr);
}

ListRecords listRecords(const QTreeWidget &view)
{
    return listRecords(view, 1, view.topLevelItemCount());
}

ListRecords listRecords(const QTreeWidget &view, int position, int count)
{
    ListRecords records;
    records.reserve(count);
    for (int i = position - 1; i < position - 1 + count; ++i) {
        const QTreeWidgetItem *item = view.topLevelItem(i);
        QStringList fields;
        for (int column = 0; column < view.columnCount(); ++column)
            fields << item->text(column);
        records << fields;
    }
    return records;
}

} // namespace orv
