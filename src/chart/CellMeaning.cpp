#include "chart/CellMeaning.h"

#include "sheet/DateSerial.h"
#include "sheet/model/Sheet.h"

#include <QStringList>
#include <cmath>
#include <optional>

namespace orv::chart {

namespace {

using sheet::CellAddress;
using sheet::Sheet;

// The template's places, 0-based.
constexpr int kDeliverableColumn = 0; // A
constexpr int kTaskColumn = 1;        // B
constexpr int kSubTaskColumn = 2;     // C
constexpr int kStartColumn = kStartDateColumn;
constexpr int kEndColumn = 4;         // E
constexpr int kDoneColumn = 5;        // F
constexpr int kFirstDayColumn = 7;    // H
constexpr int kLastDayColumn = 202;   // GU
constexpr int kFirstEventRow = 2;     // row 3
constexpr int kLastEventRow = 6;      // row 7
constexpr int kFirstCalendarRow = 3;  // the month labels, row 4
constexpr int kDayRow = 5;            // the day dates, row 6
constexpr int kLastHeaderRow = 8;     // the column headers, row 9

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

struct PlanRow {
    QString name;
    bool deliverable = false;
    std::optional<QDate> start;
    std::optional<QDate> end;
    std::optional<double> done;

    bool onDay(QDate day) const { return !name.isEmpty() && start && end && *start <= day && day <= *end; }

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

QString eventOn(const Sheet &sheet, QDate day)
{
    for (int row = kFirstEventRow; row <= kLastEventRow; ++row) {
        const PlanRow event = planRow(sheet, row);
        if (event.onDay(day))
            return QStringLiteral("Special event: ") + event.name;
    }
    return {};
}

bool isWeekend(QDate day) { return day.dayOfWeek() >= Qt::Saturday; }

// What the calendar marks a day as, in the template's order for the plan rows.
QString dayMeaning(const Sheet &sheet, QDate day, QDate today)
{
    if (isWeekend(day))
        return QStringLiteral("Weekend");
    if (QString event = eventOn(sheet, day); !event.isEmpty())
        return event;
    if (day == today)
        return QStringLiteral("Today");
    return {};
}

// The month labels and day dates: the date, with what its fill says.
QString dateRowMeaning(QDate day, QDate today)
{
    const QString date = day.toString(QStringLiteral("ddd M/d/yyyy"));
    if (day == today)
        return QStringLiteral("Today, ") + date;
    if (isWeekend(day))
        return QStringLiteral("Weekend, ") + date;
    return date;
}

bool inCalendar(int column) { return column >= kFirstDayColumn && column <= kLastDayColumn; }

} // namespace

QString cellMeaning(const Sheet &sheet, CellAddress at, QDate today)
{
    const std::optional<QDate> day = dateAt(sheet, {kDayRow, at.column});
    if (inCalendar(at.column) && at.row >= kFirstCalendarRow && at.row <= kDayRow + 1)
        return day ? dateRowMeaning(*day, today) : QString();
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
    if (!inCalendar(at.column) || !day)
        return {};
    if (plan.onDay(*day))
        return plan.described();
    return plan.name.isEmpty() && !plan.start ? QString() : dayMeaning(sheet, *day, today);
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
