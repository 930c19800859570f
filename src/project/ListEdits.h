#pragma once

#include "app/ListCodec.h"

#include <QString>

namespace orv {

// The three project lists as plain records, in list order; positions count
// from 1 and columns from 1 (column 1 is the item text), as in the list views.
struct ProjectLists {
    ListRecords categories;
    ListRecords tasks;
    ListRecords events;
};

// The column of a task that names its category, and its sub-task mark.
inline constexpr int kTaskCategoryColumn = 5;
inline constexpr int kSubTaskColumn = 6;

// Moves the item at `from` to `to`; the items between close up and keep
// their order. Positions outside the list leave it as it is.
void moveItem(ListRecords &list, int from, int to);

// Renames the category at `position` and moves every task that named its
// old text exactly along with it, unless another category still carries the
// old text (those tasks still belong to it). Returns the number of tasks
// moved.
int renameCategory(ProjectLists &lists, int position, const QString &name);

// The number of tasks that no longer belong to any category once the
// category at `position` is gone.
int tasksLeftWithoutCategory(const ProjectLists &lists, int position);
// The same once the categories at all of `positions` are gone.
int tasksLeftWithoutCategories(const ProjectLists &lists, const QList<int> &positions);

// The other value of the sub-task mark: "V" becomes empty, anything else
// (which the chart does not take for a sub-task) becomes "V".
QString toggledSubTask(const QString &mark);

// The notes shown after a category was renamed or deleted; empty when no
// task was affected.
QString renameNote(int moved, const QString &name);
QString deleteNote(int orphaned);

} // namespace orv
