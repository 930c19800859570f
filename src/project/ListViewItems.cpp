#include "project/ListViewItems.h"

#include "sheet/Failure.h"

#include <QTreeWidget>

namespace orv {

namespace {

[[noreturn]] void outOfBounds()
{
    throw Failure(QStringLiteral("Index out of bounds"));
}

} // namespace

QTreeWidgetItem *appendItem(QTreeWidget &view, const QString &text)
{
    if (view.topLevelItemCount() >= kMaxListItems)
        throw Failure(QStringLiteral("Overflow"));
    auto *item = new QTreeWidgetItem(&view, QStringList{text});
    item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemNeverHasChildren);
    return item;
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
    const QList<QTreeWidgetItem *> selected = view.selectedItems();
    if (selected.isEmpty())
        return 0;
    return view.indexOfTopLevelItem(selected.first()) + 1;
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

ListRecords listRecords(const QTreeWidget &view)
{
    ListRecords records;
    records.reserve(view.topLevelItemCount());
    for (int i = 0; i < view.topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = view.topLevelItem(i);
        QStringList fields;
        for (int column = 0; column < view.columnCount(); ++column)
            fields << item->text(column);
        records << fields;
    }
    return records;
}

} // namespace orv
