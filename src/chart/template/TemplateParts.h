#pragma once

#include "chart/template/CalendarScale.h"
#include "chart/template/TemplateSheet.h"

namespace orv::chart {

// The parts of the chart template workbook.

// The cells, sizes, merges, view and print settings of "Project Plan" with
// the given calendar.
void buildProjectPlanSheet(TemplateSheet &plan, const CalendarShape &shape);

// The conditional formats that paint the bars, weekends, special events and
// the current day on "Project Plan", for the given calendar.
void addProjectPlanRules(sheet::Sheet &plan, const CalendarShape &shape);

// The hidden change log.
void buildVersionSheet(TemplateSheet &version);

} // namespace orv::chart
