#include "chart/CellMeaning.h"

#include "chart/template/ChartLayout.h"
#include "sheet/DateSerial.h"
#include "sheet/model/Sheet.h"

#include <QStringList>
#include <cmath>
#include <optional>

namespace orv::chart {

namespace {

using sheet::CellAddress;
using sheet::Sheet;

// The chart sheet's places (ChartLayout), 0-based as CellAddress counts.
constexpr int kDeliverableColumn = layout::kDeliverableColumn - 1;
constexpr int kTaskColumn = layout::kTaskColumn - 1;
constexpr int kSubTaskColumn = layout::kSubTaskColumn - 1;
constexpr int kStartColumn = layout::kStartColumn - 1;
constexpr int kEndColumn = layout::kEndColumn - 1;
constexpr int kDoneColumn = layout::kPercentColumn - 1;
constexpr int kFirstDayColumn = layout::kFirstDayColumn - 1;
constexpr int kFirstEventRow = layout::kFirstEventRow - 1;
constexpr int kLastEventRow = kFirstEventRow + layout::kEventSlots - 1;
constexpr int kFirstCalendarRow = layout::kMonthRow - 1;
constexpr int kDayRow = layout::kDateRow - 1;
constexpr int kLastHeaderRow = layout::kHeadingRow - 1;

std::optional<double> numberAt(const Sheet &sheet, CellAddress at)
{
    const sheet::Cell *cell = sheet.cell(at);
    if (cell == nullptr || !std::holds_alternative<double>(cell->value))
        return std::nullopt;
    return std::get<double>(cell->value);
}

QString textAt(const Sheet &sheet, CellAddress at)
{
    const sheet::Cell *cell = sheet.cell(at);
    if (cell == nullptr || !std::holds_alternative<QString>(cell->value))
        return {};
    return std::get<QString>(cell->value);
}

// A date the sheet shows: a serial number of a real day; 0 (an empty range's
// MIN) is none.
std::optional<QDate> dateAt(const Sheet &sheet, CellAddress at)
{
    const std::optional<double> serial = numberAt(sheet, at);
    if (!serial || *serial < 1)
        return std::nullopt;
    const QDate date = sheet::qdateFromSerial(std::floor(*serial));
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

QString shortDate(QDate date) { return date.toString(QStringLiteral("M/d")); }

// The days a calendar column stands for: from its date up to the next
// column's, a day, a week or a month; the last column's as long as the one
// before it.
struct Period {
    QDate first;
    QDate last;

    bool oneDay() const { return first == last; }
    bool holds(QDate day) const { return first <= day && day <= last; }
};

std::optional<Period> periodAt(const Sheet &sheet, int column)
{
    const std::optional<QDate> first = dateAt(sheet, {kDayRow, column});
    if (!first)
        return std::nullopt;
    if (const std::optional<QDate> next = dateAt(sheet, {kDayRow, column + 1}); next && *next > *first)
        return Period{*first, next->addDays(-1)};
    const std::optional<QDate> before = column > kFirstDayColumn ? dateAt(sheet, {kDayRow, column - 1}) : std::nullopt;
    if (!before || *before >= *first)
        return Period{*first, *first};
    const qint64 step = before->daysTo(*first);
    return Period{*first, step > 7 ? first->addMonths(1).addDays(-1) : first->addDays(step - 1)};
}

struct PlanRow {
    QString name;
    bool deliverable = false;
    std::optional<QDate> start;
    std::optional<QDate> end;
    std::optional<double> done;

    bool during(const Period &period) const
    {
        return !name.isEmpty() && start && end && *start <= period.last && period.first <= *end;
    }

    // The template's rule: today lies past the part of the span that the
    // fraction done stands for, with something still left to do.
    bool behindPlan(QDate today) const
    {
        if (deliverable || !start || !end || !done || *done >= 1)
            return false;
        const double planned = start->toJulianDay() + (end->toJulianDay() - start->toJulianDay()) * *done;
        return today.toJulianDay() > planned;
    }

    QString described() const
    {
        QStringList parts{name};
        if (start && end)
            parts << shortDate(*start) + QStringLiteral("–") + shortDate(*end);
        else if (start || end)
            parts << shortDate(start ? *start : *end);
        if (!deliverable && done)
            parts << QStringLiteral("%1 % done").arg(std::lround(*done * 100));
        return parts.join(QStringLiteral(", "));
    }
};

PlanRow planRow(const Sheet &sheet, int row)
{
    PlanRow plan;
    plan.name = textAt(sheet, {row, kDeliverableColumn});
    plan.deliverable = !plan.name.isEmpty();
    if (plan.name.isEmpty())
        plan.name = textAt(sheet, {row, kTaskColumn});
    if (plan.name.isEmpty())
        plan.name = textAt(sheet, {row, kSubTaskColumn});
    plan.start = dateAt(sheet, {row, kStartColumn});
    plan.end = dateAt(sheet, {row, kEndColumn});
    plan.done = numberAt(sheet, {row, kDoneColumn});
    return plan;
}

QString eventDuring(const Sheet &sheet, const Period &period)
{
    for (int row = kFirstEventRow; row <= kLastEventRow; ++row) {
        const PlanRow event = planRow(sheet, row);
        if (event.during(period))
            return QStringLiteral("Special event: ") + event.name;
    }
    return {};
}

bool isWeekend(QDate day) { return day.dayOfWeek() >= Qt::Saturday; }

// What the calendar marks a column as, in the template's order for the plan
// rows; weekends only where a column is a day.
QString periodMeaning(const Sheet &sheet, const Period &period, QDate today)
{
    if (period.oneDay() && isWeekend(period.first))
        return QStringLiteral("Weekend");
    if (QString event = eventDuring(sheet, period); !event.isEmpty())
        return event;
    if (period.holds(today))
        return QStringLiteral("Today");
    return {};
}

// The month labels and the dates: the column's date, with what its fill says.
QString dateRowMeaning(const Period &period, QDate today)
{
    const QString date = period.first.toString(QStringLiteral("ddd M/d/yyyy"));
    if (period.holds(today))
        return QStringLiteral("Today, ") + date;
    if (period.oneDay() && isWeekend(period.first))
        return QStringLiteral("Weekend, ") + date;
    return date;
}


} // namespace

QString cellMeaning(const Sheet &sheet, CellAddress at, QDate today)
{
    const std::optional<Period> period = at.column >= kFirstDayColumn ? periodAt(sheet, at.column) : std::nullopt;
    if (at.column >= kFirstDayColumn && at.row >= kFirstCalendarRow && at.row <= kDayRow + 1)
        return period ? dateRowMeaning(*period, today) : QString();
    if (at.row >= kFirstEventRow && at.row <= kLastEventRow && at.column >= kTaskColumn && at.column <= kEndColumn) {
        const PlanRow event = planRow(sheet, at.row);
        return event.name.isEmpty() ? QString() : QStringLiteral("Special event: ") + event.described();
    }
    if (at.row <= kLastHeaderRow)
        return {};
    const PlanRow plan = planRow(sheet, at.row);
    if (at.column <= kDoneColumn) {
        if (plan.name.isEmpty())
            return {};
        return plan.behindPlan(today) ? QStringLiteral("Behind plan: ") + plan.described() : plan.described();
    }
    if (!period)
        return {};
    if (plan.during(*period))
        return plan.described();
    return plan.name.isEmpty() && !plan.start ? QString() : periodMeaning(sheet, *period, today);
}

int chartedTaskCount(const Sheet &sheet)
{
    int tasks = 0;
    for (int row = kLastHeaderRow + 1; row <= sheet.lastRow(); ++row)
        if (!textAt(sheet, {row, kTaskColumn}).isEmpty() || !textAt(sheet, {row, kSubTaskColumn}).isEmpty())
            ++tasks;
    return tasks;
}

} // namespace orv::chart
