#include "app/ShortDate.h"

#include <QRegularExpression>

namespace orv {

QString shortDateText(const QDate &date, const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return date.toString(Qt::ISODate);
    QString pattern = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression yearField(QStringLiteral("y+"));
    pattern.replace(yearField, QStringLiteral("yyyy"));
    return locale.toString(date, pattern);
}

} // namespace orv
