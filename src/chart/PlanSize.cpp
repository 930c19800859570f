#include "chart/PlanSize.h"

#include "chart/ProjectSource.h"
#include "chart/template/ChartLayout.h"
#include "files/Failure.h"

#include <QHash>
#include <algorithm>

namespace orv::chart {

namespace {

using List = ProjectSource::List;

} // namespace

qint64 lastPlanRow(const ProjectSource &project)
{
    QHash<QString, qint64> tasksOf;
    const int tasks = project.itemCount(List::Tasks);
    for (int t = 1; t <= tasks; ++t)
        ++tasksOf[project.itemText(List::Tasks, t, 5)];
    qint64 inserted = 0;
    qint64 last = 0;
    const int categories = project.itemCount(List::Categories);
    for (int c = 1; c <= categories; ++c) {
        const qint64 header = layout::kBlockRow + layout::kBlockRows * qint64(c - 1);
        last = std::max(last, header);
        const qint64 n = tasksOf.value(project.itemText(List::Categories, c, 1));
        if (n > 0) {
            last = std::max(last, header + 1 + inserted + n - 1);
            inserted += n - 1;
        }
    }
    return last;
}

void checkPlanSize(const ProjectSource &project)
{
    const std::pair<List, const char *> lists[] = {
        {List::Categories, "categories"}, {List::Tasks, "tasks"}, {List::Events, "special events"}};
    for (const auto &[list, name] : lists) {
        const int count = project.itemCount(list);
        if (count > kMaxPlanNumber)
            throw Failure(QStringLiteral("The plan has %1 %2; a list holds at most %3")
                              .arg(count)
                              .arg(QLatin1String(name))
                              .arg(kMaxPlanNumber));
    }
    const qint64 rows = lastPlanRow(project);
    if (rows > kMaxPlanNumber)
        throw Failure(QStringLiteral("The plan needs %1 rows; a chart can use rows up to %2 only")
                          .arg(rows)
                          .arg(kMaxPlanNumber));
}

} // namespace orv::chart
