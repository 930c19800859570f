#include "app/EntryHints.h"

#include "app/ShortDate.h"
#include "sheet/TypedInput.h"

namespace orv {

QString dateHint(const QString &text, const QLocale &locale)
{
    if (sheet::readTypedInput(text, locale).isDate)
        return {};
    return QStringLiteral("not a date in your short date form, e.g. %1")
        .arg(shortDateText(QDate(2026, 8, 24), locale));
}

QString categoryHint(const QString &category, const QSet<QString> &categoryNames)
{
    if (categoryNames.contains(category))
        return {};
    return QStringLiteral("not in the chart: no such category");
}

} // namespace orv
