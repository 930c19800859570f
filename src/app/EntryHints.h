#pragma once

#include <QLocale>
#include <QSet>
#include <QString>

namespace orv {

// Hints for texts that the chart will not use as the user meant them. The
// chart hands dates to the spreadsheet as typed input, so a date text is
// judged by the same reading, under the same locale.

// Empty when `text` reads as a date; otherwise "not a date in your short date
// form, e.g. ..." with an example in the locale's form.
QString dateHint(const QString &text, const QLocale &locale = QLocale());

// Empty when a category is named `category` exactly; otherwise the note that
// the task stays out of the chart.
QString categoryHint(const QString &category, const QSet<QString> &categoryNames);

} // namespace orv
