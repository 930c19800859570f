#include "chart/PlanSpan.h"

#include "chart/ProjectSource.h"
#include "chart/template/ChartLayout.h"
#include "sheet/TypedInput.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace orv::chart {

namespace {

using List = ProjectSource::List;

class SpanCollector {
public:
    explicit SpanCollector(const QLocale &locale) : mLocale(locale) {}

    // A cell that reads as a number takes part in the calendar's MIN, a
    // date among them.
    void take(const QString &text)
    {
        const sheet::Value value = sheet::typedInput(text, mLocale);
        const double *number = std::get_if<double>(&value);
        if (!number || !std::isfinite(*number))
            return;
        const int day = static_cast<int>(std::floor(*number));
        mSpan = mSpan ? PlanSpan{std::min(mSpan->first, day), std::max(mSpan->last, day)} : PlanSpan{day, day};
    }

    std::optional<PlanSpan> span() const { return mSpan; }

private:
    const QLocale &mLocale;
    std::optional<PlanSpan> mSpan;
};

} // namespace

std::optional<PlanSpan> planSpan(const ProjectSource &project, const QLocale &locale)
{
    SpanCollector dates(locale);
    const int events = std::min(project.itemCount(List::Events), layout::kEventSlots);
    for (int e = 1; e <= events; ++e) {
        dates.take(project.itemText(List::Events, e, 2));
        dates.take(project.itemText(List::Events, e, 3));
    }
    QSet<QString> categories;
    for (int c = 1; c <= project.itemCount(List::Categories); ++c)
        categories.insert(project.itemText(List::Categories, c, 1));
    for (int t = 1; t <= project.itemCount(List::Tasks); ++t) {
        if (!categories.contains(project.itemText(List::Tasks, t, 5)))
            continue;
        dates.take(project.itemText(List::Tasks, t, 3));
        dates.take(project.itemText(List::Tasks, t, 4));
    }
    return dates.span();
}

} // namespace orv::chart
