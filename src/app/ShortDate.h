#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace orv {

// The date in the user's short date form: the locale's short pattern with
// the year widened to four digits; ISO yyyy-MM-dd where the locale has no
// numeric pattern of its own (the C locale).
QString shortDateText(const QDate &date, const QLocale &locale = QLocale());

} // namespace orv
