#pragma once

#include "chart/PlanDates.h"
#include "chart/template/CalendarScale.h"

#include <QLocale>
#include <QString>
#include <optional>

namespace orv::chart {

// What of a plan the chart's calendar leaves out at a scale: the tasks,
// deliverables and special events (PlanDates.h) whose dates lie partly or
// wholly before the calendar's first day or after its last.
struct OutsideCalendar {
    int tasks = 0;
    int deliverables = 0;
    int events = 0;
    int planEnd = 0;                         // the plan's last date (serial)
    std::optional<CalendarScale> wholeAt;    // the finest scale that shows it all

    bool any() const { return tasks + deliverables + events > 0; }
};

// `today` is the serial the day calendar counts its 30 days back from.
OutsideCalendar outsideCalendar(const PlanDates &dates, CalendarScale scale, int today);

// The word for the user, such as "2 tasks and 1 deliverable lie partly or
// wholly outside the calendar at the day scale; the plan runs until
// 3/31/2028. The week scale shows it whole." Empty when nothing is left out.
QString outsideCalendarWord(const OutsideCalendar &outside, CalendarScale scale, const QLocale &locale);

} // namespace orv::chart
