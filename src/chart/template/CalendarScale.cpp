#include "chart/template/CalendarScale.h"

#include "chart/template/ChartLayout.h"
#include "sheet/DateSerial.h"

#include <algorithm>

namespace orv::chart {

int CalendarShape::lastColumn() const { return layout::kFirstDayColumn + columns - 1; }

CalendarShape dayCalendar() { return {CalendarScale::Days, layout::kDays}; }

namespace {

int monthIndex(int serial)
{
    const auto date = sheet::dateFromSerial(serial);
    return date ? date->year * 12 + date->month - 1 : 0;
}

} // namespace

int periodStart(CalendarScale scale, int serial)
{
    switch (scale) {
    case CalendarScale::Days: return serial;
    // WEEKDAY(serial, 3): Monday 0 ... Sunday 6.
    case CalendarScale::Weeks: return serial - (sheet::weekdayFromSerial(serial) + 5) % 7;
    case CalendarScale::Months: {
        const auto date = sheet::dateFromSerial(serial);
        return date ? sheet::serialFromParts(date->year, date->month, 1).value_or(serial) : serial;
    }
    }
    return serial;
}

int nextPeriod(CalendarScale scale, int start)
{
    switch (scale) {
    case CalendarScale::Days: return start + 1;
    case CalendarScale::Weeks: return start + 7;
    case CalendarScale::Months: {
        const auto date = sheet::dateFromSerial(start);
        return date ? sheet::serialFromParts(date->year, date->month + 1, 1).value_or(start + 31) : start + 31;
    }
    }
    return start + 1;
}

int periodEnd(CalendarScale scale, int start) { return nextPeriod(scale, start) - 1; }

CalendarShape calendarFor(CalendarScale scale, int firstSerial, int lastSerial)
{
    if (scale == CalendarScale::Days)
        return dayCalendar();
    const int first = periodStart(scale, firstSerial);
    const int periods = scale == CalendarScale::Weeks ? (lastSerial - first) / 7 + 1
                                                      : monthIndex(lastSerial) - monthIndex(first) + 1;
    return {scale, std::clamp(periods, kMinScaledColumns, kMaxCalendarColumns)};
}

QString scaleName(CalendarScale scale)
{
    switch (scale) {
    case CalendarScale::Days: return QStringLiteral("days");
    case CalendarScale::Weeks: return QStringLiteral("weeks");
    case CalendarScale::Months: return QStringLiteral("months");
    }
    return QStringLiteral("days");
}

std::optional<CalendarScale> scaleFromName(const QString &name)
{
    for (CalendarScale scale : {CalendarScale::Days, CalendarScale::Weeks, CalendarScale::Months})
        if (name.compare(scaleName(scale), Qt::CaseInsensitive) == 0)
            return scale;
    return std::nullopt;
}

} // namespace orv::chart
