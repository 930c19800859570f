#include "chart/PlanDates.h"

#include "chart/ProjectSource.h"
#include "chart/template/ChartLayout.h"
#include "sheet/TypedInput.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace orv::chart {

namespace {

using List = ProjectSource::List;

// A cell that reads as a number takes part in the calendar's MIN, a date
// among them.
std::optional<int> serialOf(const QString &text, const QLocale &locale)
{
    const sheet::Value value = sheet::typedInput(text, locale);
    const double *number = std::get_if<double>(&value);
    return number && std::isfinite(*number) ? std::optional<int>(int(std::floor(*number))) : std::nullopt;
}

DateSpan joined(const DateSpan &a, const DateSpan &b) { return {std::min(a.start, b.start), std::max(a.end, b.end)}; }

} // namespace

PlanDates::PlanDates(const ProjectSource &project, const QLocale &locale) : mLocale(locale)
{
    const int eventCount = std::min(project.itemCount(List::Events), layout::kEventSlots);
    for (int e = 1; e <= eventCount; ++e)
        add(events, project.itemText(List::Events, e, 2), project.itemText(List::Events, e, 3));
    QSet<QString> categories;
    for (int c = 1; c <= project.itemCount(List::Categories); ++c)
        categories.insert(project.itemText(List::Categories, c, 1));
    QHash<QString, DateSpan> spans;
    for (int t = 1; t <= project.itemCount(List::Tasks); ++t) {
        const QString category = project.itemText(List::Tasks, t, 5);
        if (!categories.contains(category)
            || !add(tasks, project.itemText(List::Tasks, t, 3), project.itemText(List::Tasks, t, 4)))
            continue;
        const auto span = spans.constFind(category);
        spans.insert(category, span == spans.cend() ? tasks.back() : joined(*span, tasks.back()));
    }
    for (const DateSpan &span : spans)
        deliverables.push_back(span);
}

std::optional<DateSpan> PlanDates::whole() const
{
    std::optional<DateSpan> all;
    for (const auto *list : {&tasks, &events})
        for (const DateSpan &item : *list)
            all = all ? joined(*all, item) : item;
    return all;
}

bool PlanDates::add(std::vector<DateSpan> &list, const QString &startText, const QString &endText)
{
    const std::optional<int> start = serialOf(startText, mLocale);
    const std::optional<int> end = serialOf(endText, mLocale);
    if (!start && !end)
        return false;
    const int first = start.value_or(*end);
    const int last = end.value_or(*start);
    list.push_back({std::min(first, last), std::max(first, last)});
    return true;
}

} // namespace orv::chart
