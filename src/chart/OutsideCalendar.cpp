#include "chart/OutsideCalendar.h"

#include "app/ShortDate.h"
#include "chart/ProjectSource.h"
#include "chart/template/ChartLayout.h"
#include "sheet/DateSerial.h"
#include "sheet/TypedInput.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace orv::chart {

namespace {

using List = ProjectSource::List;

// The first and last day an item covers, as serials.
struct Dates {
    int start = 0;
    int end = 0;
};

constexpr int kDaysBack = 30;

class PlanDates {
public:
    PlanDates(const ProjectSource &project, const QLocale &locale) : mLocale(locale)
    {
        const int eventCount = std::min(project.itemCount(List::Events), layout::kEventSlots);
        for (int e = 1; e <= eventCount; ++e)
            add(events, project.itemText(List::Events, e, 2), project.itemText(List::Events, e, 3));
        QSet<QString> categories;
        for (int c = 1; c <= project.itemCount(List::Categories); ++c)
            categories.insert(project.itemText(List::Categories, c, 1));
        QHash<QString, Dates> spans;
        for (int t = 1; t <= project.itemCount(List::Tasks); ++t) {
            const QString category = project.itemText(List::Tasks, t, 5);
            if (!categories.contains(category))
                continue;
            if (!add(tasks, project.itemText(List::Tasks, t, 3), project.itemText(List::Tasks, t, 4)))
                continue;
            const Dates &task = tasks.back();
            const auto span = spans.constFind(category);
            spans.insert(category, span == spans.cend() ? task
                                                        : Dates{std::min(span->start, task.start),
                                                                std::max(span->end, task.end)});
        }
        for (const Dates &span : spans)
            deliverables.push_back(span);
    }

    std::vector<Dates> tasks;
    std::vector<Dates> deliverables;
    std::vector<Dates> events;

    std::optional<Dates> whole() const
    {
        std::optional<Dates> all;
        for (const auto *list : {&tasks, &events})
            for (const Dates &item : *list)
                all = all ? Dates{std::min(all->start, item.start), std::max(all->end, item.end)} : item;
        return all;
    }

private:
    std::optional<int> serial(const QString &text) const
    {
        const sheet::Value value = sheet::typedInput(text, mLocale);
        const double *number = std::get_if<double>(&value);
        return number && std::isfinite(*number) ? std::optional<int>(int(std::floor(*number))) : std::nullopt;
    }

    // An item with one date only covers that day; one without any is left out.
    bool add(std::vector<Dates> &list, const QString &startText, const QString &endText)
    {
        const std::optional<int> start = serial(startText);
        const std::optional<int> end = serial(endText);
        if (!start && !end)
            return false;
        list.push_back({std::min(start.value_or(*end), end.value_or(*start)),
                        std::max(start.value_or(*end), end.value_or(*start))});
        return true;
    }

    const QLocale &mLocale;
};

// The calendar's first and last day at `scale` for a plan that covers `plan`.
Dates calendarDays(CalendarScale scale, const Dates &plan, int today)
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

int countOutside(const std::vector<Dates> &items, const Dates &calendar)
{
    return int(std::count_if(items.begin(), items.end(), [&](const Dates &item) {
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

OutsideCalendar outsideCalendar(const ProjectSource &project, CalendarScale scale, int today, const QLocale &locale)
{
    const PlanDates dates(project, locale);
    const std::optional<Dates> plan = dates.whole();
    if (!plan)
        return {};
    const auto outsideAt = [&](CalendarScale at) {
        const Dates calendar = calendarDays(at, *plan, today);
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
