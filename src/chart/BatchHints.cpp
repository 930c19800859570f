#include "chart/BatchHints.h"

#include "app/EntryHints.h"

#include <QSet>

namespace orv::chart {

namespace {

constexpr int kPlacedEvents = 5;

QString field(const QStringList &item, int column) { return column < item.size() ? item[column] : QString(); }

QString itemName(const QString &kind, size_t index, const QStringList &item)
{
    return QStringLiteral("%1 %2 \"%3\"").arg(kind).arg(index + 1).arg(field(item, 0));
}

void addDateHints(QStringList &hints, const QString &name, const QStringList &item, int start, int end,
                  const QLocale &locale)
{
    const std::pair<int, QString> dates[] = {{start, QStringLiteral("start")}, {end, QStringLiteral("end")}};
    for (const auto &[column, what] : dates) {
        const QString text = field(item, column);
        const QString hint = text.isEmpty() ? QString() : dateHint(text, locale);
        if (!hint.isEmpty())
            hints << QStringLiteral("%1: %2 \"%3\" is %4").arg(name, what, text, hint);
    }
}

} // namespace

QStringList batchHints(const ProjectLists &lists, const QLocale &locale)
{
    QSet<QString> categories;
    for (const QStringList &category : lists.categories)
        categories.insert(field(category, 0));
    QStringList hints;
    for (size_t t = 0; t < lists.tasks.size(); ++t) {
        const QStringList &task = lists.tasks[t];
        const QString name = itemName(QStringLiteral("Task"), t, task);
        addDateHints(hints, name, task, 2, 3, locale);
        const QString category = field(task, 4);
        const QString hint = category.isEmpty() ? QString() : categoryHint(category, categories);
        if (!hint.isEmpty())
            hints << QStringLiteral("%1: category \"%2\" is %3").arg(name, category, hint);
    }
    for (size_t e = 0; e < lists.events.size(); ++e) {
        const QString name = itemName(QStringLiteral("Special event"), e, lists.events[e]);
        addDateHints(hints, name, lists.events[e], 1, 2, locale);
        if (e >= kPlacedEvents)
            hints << QStringLiteral("%1: not in the chart: only the first %2 special events are placed")
                         .arg(name)
                         .arg(kPlacedEvents);
    }
    return hints;
}

} // namespace orv::chart
