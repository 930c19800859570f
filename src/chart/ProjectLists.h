#pragma once

#include "chart/ProjectSource.h"

#include <QStringList>
#include <vector>

namespace orv::chart {

// The three lists held in memory, for building a chart without the main
// window: each item is its columns' texts, the item text first.
class ProjectLists : public ProjectSource {
public:
    std::vector<QStringList> categories;
    std::vector<QStringList> tasks;
    std::vector<QStringList> events;

    int itemCount(List list) const override;
    QString itemText(List list, int position, int column) const override;

private:
    const std::vector<QStringList> &items(List list) const;
};

} // namespace orv::chart
