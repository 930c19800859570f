#pragma once

#include <QLocale>
#include <optional>

namespace orv::chart {

class ProjectSource;

// The earliest and the latest date (serials) that the chart's calendar
// takes from the plan: the start and end of the special events the chart
// has slots for and of the tasks under a listed category, read as the
// chart's cells read them under `locale`.
struct PlanSpan {
    int first = 0;
    int last = 0;
};

// Nothing when the plan gives the chart no date at all.
std::optional<PlanSpan> planSpan(const ProjectSource &project, const QLocale &locale);

} // namespace orv::chart
