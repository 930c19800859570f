#include "project/ListEdits.h"

#include <QSet>
#include <algorithm>

namespace orv {

namespace {

bool validPosition(const ListRecords &list, int position)
{
    return position >= 1 && position <= list.size();
}

// The text of the item's first column; an item without fields reads as empty.
QString itemName(const QStringList &record)
{
    return record.isEmpty() ? QString() : record.first();
}

QString taskCategory(const QStringList &task)
{
    return task.value(kTaskCategoryColumn - 1);
}

// Whether a category other than the one at `position` is named `name`.
bool otherCategoryNamed(const ListRecords &categories, int position, const QString &name)
{
    for (int i = 0; i < categories.size(); ++i)
        if (i != position - 1 && itemName(categories[i]) == name)
            return true;
    return false;
}

QString taskCount(int count)
{
    return count == 1 ? QStringLiteral("1 task") : QStringLiteral("%1 tasks").arg(count);
}

} // namespace

void moveItem(ListRecords &list, int from, int to)
{
    if (validPosition(list, from) && validPosition(list, to))
        list.move(from - 1, to - 1);
}

int renameCategory(ProjectLists &lists, int position, const QString &name)
{
    if (!validPosition(lists.categories, position))
        return 0;
    QStringList &category = lists.categories[position - 1];
    const QString old = itemName(category);
    if (category.isEmpty())
        category << name;
    else
        category.first() = name;
    if (old == name || otherCategoryNamed(lists.categories, position, old))
        return 0;
    int moved = 0;
    for (QStringList &task : lists.tasks) {
        if (task.size() >= kTaskCategoryColumn && taskCategory(task) == old) {
            task[kTaskCategoryColumn - 1] = name;
            ++moved;
        }
    }
    return moved;
}

int tasksLeftWithoutCategory(const ProjectLists &lists, int position)
{
    return tasksLeftWithoutCategories(lists, {position});
}

int tasksLeftWithoutCategories(const ProjectLists &lists, const QList<int> &positions)
{
    const QSet<int> removed(positions.begin(), positions.end());
    QSet<QString> kept;
    QSet<QString> gone;
    for (int i = 0; i < lists.categories.size(); ++i)
        (removed.contains(i + 1) ? gone : kept).insert(itemName(lists.categories[i]));
    return int(std::count_if(lists.tasks.begin(), lists.tasks.end(), [&](const QStringList &task) {
        const QString name = taskCategory(task);
        return gone.contains(name) && !kept.contains(name);
    }));
}

QString toggledSubTask(const QString &mark)
{
    return mark == QLatin1String("V") ? QString() : QStringLiteral("V");
}

QString renameNote(int moved, const QString &name)
{
    if (moved == 0)
        return {};
    return QStringLiteral("%1 moved to '%2'").arg(taskCount(moved), name);
}

QString deleteNote(int orphaned)
{
    if (orphaned == 0)
        return {};
    const QString verb = orphaned == 1 ? QStringLiteral("belongs") : QStringLiteral("belong");
    return QStringLiteral("%1 no longer %2 to a category and will not be in the chart").arg(taskCount(orphaned), verb);
}

} // namespace orv
