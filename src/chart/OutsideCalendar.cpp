#include "chart/OutsideCalendar.h"

#include "app/ShortDate.h"
#include "sheet/DateSerial.h"

#include <QStringList>
#include <algorithm>

namespace orv::chart {

namespace {

constexpr int kDaysBack = 30;

// The calendar's first and last day at `scale` for a plan that covers `plan`.
DateSpan calendarDays(CalendarScale scale, const DateSpan &plan, int today)
{
    const CalendarShape shape = calendarFor(scale, plan.start, plan.end);
    if (scale == CalendarScale::Days) {
        const int first = std::max(plan.start, today - kDaysBack);
        return {first, first + shape.columns - 1};
    }
    int start = periodStart(scale, plan.start);
    const int first = start;
    for (int column = 1; column < shape.columns; ++column)
        start = nextPeriod(scale, start);
    return {first, periodEnd(scale, start)};
}

int countOutside(const std::vector<DateSpan> &items, const DateSpan &calendar)
{
    return int(std::count_if(items.begin(), items.end(), [&](const DateSpan &item) {
        return item.start < calendar.start || item.end > calendar.end;
    }));
}

QString counted(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString scaleWord(CalendarScale scale)
{
    switch (scale) {
    case CalendarScale::Days: return QStringLiteral("day");
    case CalendarScale::Weeks: return QStringLiteral("week");
    case CalendarScale::Months: return QStringLiteral("month");
    }
    return {};
}

} // namespace

OutsideCalendar outsideCalendar(const PlanDates &dates, CalendarScale scale, int today)
{
    const std::optional<DateSpan> plan = dates.whole();
    if (!plan)
        return {};
    const auto outsideAt = [&](CalendarScale at) {
        const DateSpan calendar = calendarDays(at, *plan, today);
        return OutsideCalendar{countOutside(dates.tasks, calendar), countOutside(dates.deliverables, calendar),
                               countOutside(dates.events, calendar), plan->end, std::nullopt};
    };
    OutsideCalendar outside = outsideAt(scale);
    for (CalendarScale finer : {CalendarScale::Days, CalendarScale::Weeks, CalendarScale::Months})
        if (!outsideAt(finer).any()) {
            outside.wholeAt = finer;
            break;
        }
    return outside;
}

QString outsideCalendarWord(const OutsideCalendar &outside, CalendarScale scale, const QLocale &locale)
{
    if (!outside.any())
        return {};
    QStringList items;
    if (outside.tasks > 0)
        items << counted(outside.tasks, "task", "tasks");
    if (outside.deliverables > 0)
        items << counted(outside.deliverables, "deliverable", "deliverables");
    if (outside.events > 0)
        items << counted(outside.events, "special event", "special events");
    const QString last = items.takeLast();
    const QString list = items.isEmpty() ? last : items.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    const int total = outside.tasks + outside.deliverables + outside.events;
    QString word = QStringLiteral("%1 %2 partly or wholly outside the calendar at the %3 scale; the plan runs until %4.")
                       .arg(list, total == 1 ? QStringLiteral("lies") : QStringLiteral("lie"), scaleWord(scale),
                            shortDateText(sheet::qdateFromSerial(outside.planEnd), locale));
    if (outside.wholeAt)
        word += QStringLiteral(" The %1 scale shows it whole.").arg(scaleWord(*outside.wholeAt));
    else
        word += QStringLiteral(" No scale shows it whole.");
    return word;
}

} // namespace orv::chart
