#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

namespace orv {

// Values as other tools write them, in the forms the lists keep. A text
// that is none of the forms below stays as it is: the lists take any text.

// "40%", "40 %" and "40,5 %" (under a decimal comma) become "40" and
// "40.5", the number the chart reads; any other text stays.
QString percentText(const QString &text, const QLocale &locale = QLocale());

// The number of a percentage column's value without a percent sign, with
// the period or the locale's decimal separator: 0.4 for "0.4" or "0,4".
std::optional<double> plainNumber(const QString &text, const QLocale &locale = QLocale());

// A fraction completed as the percentage the lists keep: 0.4 gives "40".
QString percentOfFraction(double fraction);

// The date a text names: ISO 8601 with or without a time of day
// ("2027-01-05", "2027-01-05T09:00"), the locale's short form as typed into
// the chart, or its long form ("Tuesday, January 5, 2027").
std::optional<QDate> textDate(const QString &text, const QLocale &locale = QLocale());

// A date text in the user's short date form; a text that names no date stays.
QString dateText(const QString &text, const QLocale &locale = QLocale());

// The sub-task mark "V" for x, yes, y, true, 1, v and check marks; empty
// for no, false, 0 and blanks; any other text stays.
QString subTaskMark(const QString &text);

// True for an outline level of 2 and more: a sub-task.
bool isSubLevel(const QString &level);

} // namespace orv
