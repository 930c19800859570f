#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <optional>

namespace orv::sheet {

// Dates as serial numbers in the 1900 date system: day 1 is 1 January 1900,
// and the system counts a 29 February 1900 that never was (serial 60), so
// serials from 61 on are one more than the true day count. Serial 0 shows as
// 0 January 1900. The fraction of a serial is the time of day.

inline constexpr int kFictitiousLeapDay = 60;
inline constexpr int kLastSerial = 2958465; // 31 December 9999

// A calendar date as the 1900 system shows it; day may be 0 (serial 0) and
// 29 February 1900 exists.
struct SerialDate {
    int year = 1900;
    int month = 1;
    int day = 0;

    friend bool operator==(const SerialDate &, const SerialDate &) = default;
};

// The serial of a date from 1 January 1900 to 31 December 9999, or nothing.
std::optional<int> serialFromDate(const QDate &date);
// The serial of year/month/day with month and day overflowing into the next
// (or previous) month and year, as DATE() computes it: month 13 is January of
// the next year, day 0 the last day of the month before. Nothing when the
// result lies outside 0 .. 31 December 9999.
std::optional<int> serialFromParts(int year, int month, int day);
double serialFromDateTime(const QDateTime &moment);

// The date part of a serial (fraction dropped), or nothing for a negative
// serial or one after 31 December 9999.
std::optional<SerialDate> dateFromSerial(double serial);
// The same as a QDate; invalid for serials 0 and 60, which have none.
QDate qdateFromSerial(double serial);
// The time of day of a serial, rounded to the millisecond.
QTime timeFromSerial(double serial);

// Day of the week of a serial: 1 = Sunday ... 7 = Saturday. Serials before
// 1 March 1900 follow the system's fictitious calendar, so serial 1 is a
// Sunday.
int weekdayFromSerial(double serial);

} // namespace orv::sheet
