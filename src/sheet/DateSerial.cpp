#include "sheet/DateSerial.h"

#include <cmath>

namespace orv::sheet {

namespace {

// Serials from 61 on count days from 30 December 1899; the ones before the
// fictitious leap day count from 31 December 1899.
const QDate kModernEpoch(1899, 12, 30);
const QDate kEarlyEpoch(1899, 12, 31);
const QDate kFirstModernDate(1900, 3, 1);
constexpr int kMillisecondsPerDay = 86400000;

} // namespace

std::optional<int> serialFromDate(const QDate &date)
{
    if (!date.isValid() || date.year() < 1900 || date.year() > 9999)
        return std::nullopt;
    if (date < kFirstModernDate)
        return static_cast<int>(kEarlyEpoch.daysTo(date));
    return static_cast<int>(kModernEpoch.daysTo(date));
}

std::optional<int> serialFromParts(int year, int month, int day)
{
    // Normalise the month into 1..12, carrying whole years.
    const int monthIndex = month - 1;
    const int yearCarry = monthIndex >= 0 ? monthIndex / 12 : -((11 - monthIndex) / 12);
    year += yearCarry;
    month = monthIndex - yearCarry * 12 + 1;
    if (year < 1900 || year > 9999)
        return std::nullopt;
    const auto first = serialFromDate(QDate(year, month, 1));
    if (!first)
        return std::nullopt;
    const long long serial = static_cast<long long>(*first) + day - 1;
    if (serial < 0 || serial > kLastSerial)
        return std::nullopt;
    return static_cast<int>(serial);
}

double serialFromDateTime(const QDateTime &moment)
{
    const auto day = serialFromDate(moment.date());
    return (day ? *day : 0) + moment.time().msecsSinceStartOfDay() / double(kMillisecondsPerDay);
}

std::optional<SerialDate> dateFromSerial(double serial)
{
    if (!(serial >= 0) || serial >= kLastSerial + 1)
        return std::nullopt;
    const int day = static_cast<int>(std::floor(serial));
    if (day == 0)
        return SerialDate{1900, 1, 0};
    if (day == kFictitiousLeapDay)
        return SerialDate{1900, 2, 29};
    const QDate date = day < kFictitiousLeapDay ? kEarlyEpoch.addDays(day) : kModernEpoch.addDays(day);
    return SerialDate{date.year(), date.month(), date.day()};
}

QDate qdateFromSerial(double serial)
{
    const auto date = dateFromSerial(serial);
    if (!date || date->day == 0 || (date->month == 2 && date->day == 29 && date->year == 1900))
        return {};
    return QDate(date->year, date->month, date->day);
}

QTime timeFromSerial(double serial)
{
    const double fraction = serial - std::floor(serial);
    const int milliseconds = static_cast<int>(std::llround(fraction * kMillisecondsPerDay));
    return QTime::fromMSecsSinceStartOfDay(milliseconds % kMillisecondsPerDay);
}

int weekdayFromSerial(double serial)
{
    const long long day = static_cast<long long>(std::floor(serial));
    return static_cast<int>(((day - 1) % 7 + 7) % 7) + 1;
}

} // namespace orv::sheet
