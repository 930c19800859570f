#include "project/PastePlan.h"

#include "app/EntryHints.h"
#include "app/ListTable.h"
#include "project/ListEdits.h"
#include "project/ListSplice.h"
#include "project/ListViewItems.h"

#include <algorithm>

namespace orv {

namespace {

constexpr int kMaxEvents = 5;

QString fullListReason(ListKind list)
{
    return list == ListKind::Events ? QStringLiteral("the special events list takes five")
                                    : QStringLiteral("a list takes at most 32,767 items");
}

QString plural(int count, const char *one, const char *many)
{
    return QLatin1String(count == 1 ? one : many);
}

// Tasks among `added` that name no category of the list.
int outsideCategories(const ListRecords &added, const QSet<QString> &categories)
{
    return int(std::count_if(added.begin(), added.end(), [&](const QStringList &task) {
        return !categories.contains(task.value(kTaskCategoryColumn - 1));
    }));
}

// Filled date cells among `added` that will not read as dates.
int unreadDates(const ListRecords &added, ListKind list)
{
    const QList<int> columns = list == ListKind::Tasks ? QList<int>{3, 4} : QList<int>{2, 3};
    int count = 0;
    for (const QStringList &row : added)
        for (int column : columns) {
            const QString &text = row[column - 1];
            if (!text.isEmpty() && !dateHint(text).isEmpty())
                ++count;
        }
    return count;
}

} // namespace

int pasteRoom(ListKind list, int count)
{
    const int limit = list == ListKind::Events ? kMaxEvents : kMaxListItems;
    return std::max(0, limit - count);
}

PastePlan planPaste(QStringView text, ListKind list, int room)
{
    const ListTable table = readListTable(text, list);
    PastePlan plan;
    plan.categories = table.summaryCategories;
    plan.leftOut = table.leftOut;
    plan.fractions = table.fractions;
    plan.namesOnly = table.hadHeader && table.items.isEmpty() && table.summaryCategories.isEmpty();
    plan.added = table.items.mid(0, room);
    if (table.items.size() > room) {
        plan.refused = int(table.items.size() - room) + table.stoppedRows;
        plan.refusal = fullListReason(list);
    } else if (table.stoppedRow > 0) {
        plan.refused = table.stoppedRows;
        plan.refusal = table.stop;
    }
    plan.more = !table.readToEnd && plan.refused > 0;
    return plan;
}

QString pasteNote(const PastePlan &plan, ListKind list, const QSet<QString> &categories)
{
    const int added = int(plan.added.size());
    if (added == 0 && plan.refused == 0 && plan.categories.isEmpty())
        return plan.namesOnly ? QStringLiteral("Nothing to paste: the clipboard holds column names alone")
                              : QStringLiteral("Nothing to paste: the clipboard holds no text");
    QStringList parts{added == 0 ? QStringLiteral("Nothing pasted")
                                 : QStringLiteral("%1 added").arg(countedItems(list, added))};
    if (list == ListKind::Tasks) {
        if (const int outside = outsideCategories(plan.added, categories))
            parts << QStringLiteral("%1 %2").arg(outside).arg(
                         plural(outside, "names a category that is not in the list",
                                "name categories that are not in the list"));
    }
    if (list != ListKind::Categories) {
        if (const int dates = unreadDates(plan.added, list))
            parts << QStringLiteral("%1 %2").arg(dates).arg(
                         plural(dates, "date that will not read as a date", "dates that will not read as dates"));
    }
    if (!plan.categories.isEmpty())
        parts << QStringLiteral("%1 from rows without a task name")
                     .arg(countedItems(ListKind::Categories, int(plan.categories.size())));
    if (!plan.leftOut.isEmpty())
        parts << QStringLiteral("columns left out: %1").arg(plan.leftOut.join(QStringLiteral(", ")));
    if (plan.fractions)
        parts << QStringLiteral("percentages were fractions (0.4 is 40)");
    if (plan.refused > 0)
        parts << QStringLiteral("%1%2 not pasted: %3")
                     .arg(plan.refused == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(plan.refused),
                          plan.more ? QStringLiteral(" and more") : QString(), plan.refusal);
    return parts.join(QStringLiteral("; "));
}

} // namespace orv
