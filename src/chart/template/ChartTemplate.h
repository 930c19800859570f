#pragma once

#include "chart/template/CalendarScale.h"
#include "sheet/model/Workbook.h"

namespace orv::chart {

// The Gantt chart template: the sheet "Project Plan" whose calendar,
// formulas and conditional formats draw the chart from the names, dates and
// fractions the chart builder writes into it, and the hidden sheets
// "Instructions" and "Version". The chart builder copies the block of rows
// 10 to 13 for each deliverable and row 11 for each further task. The
// program carries the one with the day calendar; a week or month chart gets
// one made for its plan's calendar.
sheet::Workbook buildChartTemplate(const CalendarShape &shape = dayCalendar());

} // namespace orv::chart
