#pragma once

#include "app/ListCodec.h"

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

// A list view of the project: a QTreeWidget in details view whose items are
// addressed by position from 1 and whose fields by column from 1 (column 1
// is the item text). Lists hold at most 32767 items.
inline constexpr int kMaxListItems = 32767;

// Appends an item with `text` in column 1, its cells editable in place;
// throws "Overflow" when the list is full.
QTreeWidgetItem *appendItem(QTreeWidget &view, const QString &text);
// Inserts one item per record before `position` (from 1; one past the
// last item appends) in one step; fields beyond the list's columns are
// dropped. The caller keeps the list within its limit.
void insertItems(QTreeWidget &view, int position, const ListRecords &records);
// Removes `count` items from `position` on in one step.
void removeItems(QTreeWidget &view, int position, int count);
// Writes column `column` of `item`; throws "Index out of bounds" past the
// last column.
void setColumnText(QTreeWidget &view, QTreeWidgetItem &item, int column, const QString &text);

int itemCount(const QTreeWidget &view);
// Throws "Index out of bounds" for a position or column outside the list.
QString itemText(const QTreeWidget &view, int position, int column);
// The position of the selected item, or 0 when none is selected.
int selectedPosition(const QTreeWidget &view);
// Selects the `count` items from `position` on, and only them, in one step;
// the first becomes the current item and is scrolled into view.
void selectItems(QTreeWidget &view, int position, int count);
// The positions of every selected item, in list order.
QList<int> selectedPositions(const QTreeWidget &view);
// Leaves no item selected.
void removeItem(QTreeWidget &view, int position);
// Removes the items at `positions` (in list order), a stretch of
// neighbours at a time; leaves no item selected.
void removeItems(QTreeWidget &view, const QList<int> &positions);

// Every item with all its columns, in list order.
ListRecords listRecords(const QTreeWidget &view);
// The items from `position` on (from 1), `count` of them.
ListRecords listRecords(const QTreeWidget &view, int position, int count);

} // namespace orv
