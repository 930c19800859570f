#pragma once

#include <QString>
#include <optional>

namespace orv::chart {

// How much time one calendar column of the chart stands for.
enum class CalendarScale { Days, Weeks, Months };

// The calendar a chart sheet gets: its scale and how many columns it has
// from column H on.
struct CalendarShape {
    CalendarScale scale = CalendarScale::Days;
    int columns = 196;

    // The sheet column (1-based) of the calendar's last period.
    int lastColumn() const;
    friend bool operator==(const CalendarShape &, const CalendarShape &) = default;
};

// The most calendar columns a 97-2003 sheet holds from H on (H to IV).
inline constexpr int kMaxCalendarColumns = 249;
// A week or month calendar is never narrower than this: the title above it
// and the month and year labels need the room.
inline constexpr int kMinScaledColumns = 12;

// The day calendar as it always was: 196 days from the plan's first date,
// at most 30 days before today.
CalendarShape dayCalendar();

// The calendar at `scale` that reaches from the plan's first date to its
// last (date serials, first <= last), aligned to the week's Monday or the
// month's first day and cut at the sheet's last column. Days give the day
// calendar whatever the dates.
CalendarShape calendarFor(CalendarScale scale, int firstSerial, int lastSerial);

// The serial of the first day of the period that holds `serial`, and of the
// last day of the period that starts on `periodStart`.
int periodStart(CalendarScale scale, int serial);
int periodEnd(CalendarScale scale, int periodStart);
// The first day of the period after the one that starts on `periodStart`.
int nextPeriod(CalendarScale scale, int periodStart);

// "days", "weeks", "months": the scale's name in the settings and on the
// command line; nothing for any other text (case is not significant).
QString scaleName(CalendarScale scale);
std::optional<CalendarScale> scaleFromName(const QString &name);

} // namespace orv::chart
