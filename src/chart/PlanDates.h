#pragma once

#include <QLocale>
#include <optional>
#include <vector>

namespace orv::chart {

class ProjectSource;

// The first and last day an item covers, as date serials.
struct DateSpan {
    int start = 0;
    int end = 0;
};

// The dates the chart's calendar takes from a plan, read once as the chart's
// cells read them under `locale`: the special events the chart has slots
// for, the tasks under a listed category and the deliverables (each listed
// category's span of tasks). An item with one date covers that day; one
// without any is left out.
class PlanDates {
public:
    PlanDates(const ProjectSource &project, const QLocale &locale);

    std::vector<DateSpan> tasks;
    std::vector<DateSpan> deliverables;
    std::vector<DateSpan> events;

    // From the earliest date to the latest; nothing without any date.
    std::optional<DateSpan> whole() const;

private:
    bool add(std::vector<DateSpan> &list, const QString &startText, const QString &endText);

    const QLocale &mLocale;
};

} // namespace orv::chart
