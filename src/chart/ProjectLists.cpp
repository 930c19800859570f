#include "chart/ProjectLists.h"

#include "files/Failure.h"

namespace orv::chart {

const std::vector<QStringList> &ProjectLists::items(List list) const
{
    switch (list) {
    case List::Categories:
        return categories;
    case List::Tasks:
        return tasks;
    case List::Events:
        break;
    }
    return events;
}

int ProjectLists::itemCount(List list) const { return static_cast<int>(items(list).size()); }

QString ProjectLists::itemText(List list, int position, int column) const
{
    const auto &all = items(list);
    if (position < 1 || position > static_cast<int>(all.size()))
        throw Failure(QStringLiteral("Invalid property value"));
    return all[position - 1].value(column - 1);
}

} // namespace orv::chart
