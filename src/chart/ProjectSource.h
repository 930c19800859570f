#pragma once

#include <QString>

namespace orv::chart {

// The main window's three lists as the chart builder reads them, item by
// item, at the moment each step runs. Positions and columns are 1-based;
// column 1 is the item text.
class ProjectSource {
public:
    enum class List { Categories, Tasks, Events };

    virtual ~ProjectSource() = default;
    virtual int itemCount(List list) const = 0;
    virtual QString itemText(List list, int position, int column) const = 0;
};

} // namespace orv::chart
