#pragma once

#include <QtGlobal>

namespace orv::chart {

class ProjectSource;

// Row numbers and list positions are 16-bit: the largest number of items in
// a list and the last row a chart may use.
inline constexpr int kMaxPlanNumber = 32767;

// The last sheet row the builder writes for the plan: a category block of
// the layout's block rows each, one more row for every task of a category beyond its
// first (a task under a category named twice counts under both).
qint64 lastPlanRow(const ProjectSource &project);

// Throws a Failure that says what does not fit when a list holds more items,
// or the chart would need more rows, than the 16-bit numbers reach.
void checkPlanSize(const ProjectSource &project);

} // namespace orv::chart
