#pragma once

#include "chart/template/TemplateSheet.h"

namespace orv::chart {

// The parts of the chart template workbook.

// The cells, sizes, merges, view and print settings of "Project Plan".
void buildProjectPlanSheet(TemplateSheet &plan);

// The conditional formats that paint the bars, weekends, special events and
// the current day on "Project Plan".
void addProjectPlanRules(sheet::Sheet &plan);

// The hidden change log.
void buildVersionSheet(TemplateSheet &version);

} // namespace orv::chart
